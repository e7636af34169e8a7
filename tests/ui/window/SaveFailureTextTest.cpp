// Every failure text of every writer, with a 60-character name, shows whole on the status line at
// every scale from 0.5 to 2: the reason first and whole, the name shortened in its middle when it
// must be.
#include <cerrno>

#include "UiTestHelpers.h"
#include "ui/framework/CaptionFit.h"
#include "ui/window/PatchPath.h"
#include "ui/window/SaveFailureText.h"

using oxn3::saveFailureText;

TEST(SaveFailureText, ReasonFirstAndTheNameShortenedOnlyWhenItMust)
{
    EXPECT_EQ(saveFailureText("acid1.pat", ENOSPC), "Disk full: acid1.pat not saved");
    EXPECT_EQ(saveFailureText("ro1.pat", EROFS), "Read-only disk: ro1.pat not saved");
    // Any other error in its own words.
    EXPECT_EQ(saveFailureText("x.mid", EHOSTDOWN), "Host is down: x.mid not saved");

    const juce::String name = "friday night bassline for the club, the long version v12.pat";
    ASSERT_EQ(name.length(), 60);
    const juce::String text = saveFailureText(name, EFBIG);
    const juce::String shown =
        text.fromFirstOccurrenceOf(": ", false, false).upToLastOccurrenceOf(" not saved", false, false);
    EXPECT_TRUE(text.startsWith("File too large: friday night") && shown.endsWith(".pat")) << text;
    EXPECT_TRUE(shown.containsChar(0x2026) && shown.length() < name.length()) << text;
    // Words too long to leave room for a name give way to the error's own name.
    EXPECT_EQ(saveFailureText("a.pat", ELIBMAX), "Error ELIBMAX: a.pat not saved");
}

TEST(SaveFailureText, EveryFailureTextFitsTheStatusLineWholeAtEveryScale)
{
    oxn3test::EditorRig rig;
    auto named = [](const juce::String& extension) {
        return juce::String("take ").paddedRight('x', 60 - extension.length()) + extension;
    };
    const juce::String names[] = {named(".pat"), named(".map"), named(".repatch"),
                                  named(".mid"), "Config.ini",  "Gui.ini"};
    juce::StringArray texts{oxn3::pathTooLongText()};
    for (const juce::String& name : names)
        for (int error = 1; error <= 133; ++error) // every errno value the C library names
            texts.add(saveFailureText(name, error));
    std::vector<oxn3::DrawnCaption> drawn;
    for (const float s : {0.5f, 0.6f, 1.0f, 1.3f, 2.0f})
    {
        rig.editor->setSize(juce::roundToInt(754 * s), juce::roundToInt(276 * s));
        CPatchDisplay& line = *rig.editor->patchDisplay;
        for (const juce::String& text : texts)
        {
            line.text = text;
            drawn.clear();
            oxn3::drawnCaptions = &drawn;
            const juce::Image image = oxn3test::paintOf(line);
            oxn3::drawnCaptions = nullptr;
            ASSERT_EQ(drawn.size(), 1u);
            EXPECT_LE(drawn[0].width, drawn[0].box.getWidth()) << '"' << text << "\" at scale " << s;
            EXPECT_FALSE(text.upToFirstOccurrenceOf(": ", false, false).containsChar(0x2026)) << text;
            if (s == 2.0f && text == saveFailureText(names[0], ENOSPC))
                oxn3test::saveSnapshot(image, "status_line_save_failure");
        }
    }
}
