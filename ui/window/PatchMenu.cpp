#include "ui/window/PatchMenu.h"

#include <cerrno>
#include <cmath>

#include "engine/Synth303.h"
#include "patterns/Vst303PatternMetaData.h"
#include "processor/PluginProcessor.h"
#include "ui/pages/randomiser/CAdvancedRandomView.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/widgets/CPatchDisplay.h"
#include "ui/window/PluginEditor.h"
#include "ui/window/ReadFailureText.h"
#include "ui/window/SaveFailureText.h"

namespace
{
using namespace oxn3;

// The knob settings a pattern file carries: tag and host parameter. Volume is saved, not applied.
struct KnobTag
{
    const char* tag;
    int parameter;
    bool applied;
};
const KnobTag kKnobTags[] = {{"Tune:", 0, true},  {"Cutoff:", 1, true}, {"Resonance:", 2, true},
                             {"Envmod:", 3, true}, {"Decay:", 4, true},  {"Accent:", 5, true},
                             {"Waveform:", 8, true}, {"Volume:", 6, false}};

void addFileItems(juce::PopupMenu& menu, juce::DirectoryContentsList& list)
{
    const int count = list.getNumFiles();
    for (int i = 0; i < count; ++i)
        menu.addItem(kPatternFileItem + i, list.getFile(i).getFileNameWithoutExtension());
}

void toggle(int& flag)
{
    flag = flag ? 0 : 1;
}
} // namespace

namespace oxn3
{
void fillPatchMetadata(JuceDemoPluginAudioProcessor& p, Vst303PatternMetaData& meta)
{
    for (const KnobTag& k : kKnobTags)
        meta.setValue(k.tag, p.getParameter(k.parameter));
}

juce::PopupMenu buildPatchMenu(JuceDemoPluginAudioProcessorEditor& editor)
{
    JuceDemoPluginAudioProcessor& p = editor.processor;
    juce::PopupMenu menu;
    menu.addItem(kMenuLoadPattern, "Load Pattern");
    menu.addItem(kMenuSavePattern, "Save Pattern");
    menu.addSeparator();
    menu.addItem(kMenuCopyPattern, "Copy Pattern");
    menu.addItem(kMenuPastePattern, "Paste Pattern");
    const bool canUndo = editor.undoLabel.isNotEmpty();
    menu.addItem(kMenuUndo, canUndo ? "Undo " + editor.undoLabel : juce::String("Undo"), canUndo);
    menu.addSeparator();
    menu.addItem(kMenuMidiMode, p.MidiMode ? "MIDI Mode: Note" : "MIDI Mode: Pattern");
    menu.addItem(kMenuSyncMode, p.SyncMode == 1 ? "Sync Mode: Host" : "Sync Mode: Midi Trigger");
    menu.addSeparator();
    menu.addItem(kMenuMidiLearn, "MIDI Learn", true, p.midiLearnActive != 0);
    menu.addItem(kMenuResetMidiLearn, "Reset MIDI Learn");
    menu.addItem(kMenuLoadMidiMap, "Load MidiCC Map");
    menu.addItem(kMenuSaveMidiMap, "Save MidiCC Map");
    menu.addItem(kMenuMidiOutput, "MIDI Output [VST]", true, p.MidiOutput != 0);
    menu.addSeparator();
    menu.addItem(kMenuImport, "Import TB-03 Pattern");
    menu.addItem(kMenuTuning, "Load Tuning File", true, p.TuningMode >= 1);
    menu.addItem(kMenuExportREPatch, "Export Reason .repatch");
    menu.addSeparator();
    menu.addItem(kMenuExportMidi, "Export Pattern as MIDI");
    menu.addItem(kMenuTriplet, "Pattern Triplet", true, p.synth->activePattern().getTriplet() != 0);
    menu.addSeparator();
    menu.addItem(kMenuSmallSize, "Small GUI Size");
    menu.addItem(kMenuDefaultSize, "Default GUI Size");
    menu.addItem(kMenuLargeSize, "Large GUI Size");
    menu.addItem(kMenuSkin, "Select skin [Now " + juce::String::fromUTF8(skinDir) + "]");
    menu.addItem(kMenuBackground, "Change background");
    menu.addItem(kMenuSticker, "Show Sticker", true, p.ShowSticker != 0);
    menu.addSeparator();
    menu.addItem(kMenuSaveConfig, "Save Default Config");
    menu.addItem(kMenuResetConfig, "Reset Default Config");
    menu.addItem(kMenuOutputClipping, p.OutputClipping ? "Output Clipping: On" : "Output Clipping: Off");
    menu.addSeparator();
    addFileItems(menu, editor.patternFileList);
    return menu;
}
} // namespace oxn3

void JuceDemoPluginAudioProcessorEditor::showPatchMenu()
{
    // The menu answers later, when the user picks: the window may be gone by then.
    juce::Component::SafePointer<JuceDemoPluginAudioProcessorEditor> safe(this);
    auto chosen = [safe](int result) {
        if (safe != nullptr && result > 0)
            safe->menuItemSelected(result, safe.getComponent());
    };
    juce::PopupMenu menu = buildPatchMenu(*this);
    if (patchMenuSeams().showMenu)
        patchMenuSeams().showMenu(menu, chosen);
    else
    {
        juce::Component* target = patchDisplay != nullptr ? static_cast<juce::Component*>(patchDisplay) : this;
        menu.showMenuAsync(juce::PopupMenu::Options().withTargetComponent(target), chosen);
    }
}

void JuceDemoPluginAudioProcessorEditor::menuItemSelected(int id, JuceDemoPluginAudioProcessorEditor* target)
{
    JuceDemoPluginAudioProcessorEditor& ed = target != nullptr ? *target : *this;
    JuceDemoPluginAudioProcessor& p = ed.processor;
    Synth303& s = *p.synth;
    const PatchFileDialog dialog = patchFileDialogFor(ed, id);
    if (dialog.commandId != 0)
    {
        askForPatchFiles(ed, dialog);
        return;
    }
    if (id >= kPatternFileItem)
    {
        if (id - kPatternFileItem < ed.patternFileList.getNumFiles())
            runPatchFileCommand(ed, id, {ed.patternFileList.getFile(id - kPatternFileItem)});
        return;
    }
    switch (id)
    {
    case kMenuCopyPattern: copyToClipboard(s.activePattern()); break;
    case kMenuPastePattern:
        pasteFromClipboard(s.activePattern());
        ed.repaint();
        break;
    case kMenuUndo:
        // Without an undo copy the item is disabled; a stray call must not wipe the pattern.
        if (ed.undoLabel.isEmpty())
            break;
        // Back where it was taken: the current pattern may have changed since (rocker, MIDI).
        s.patterns[ed.undoSlot] = ed.undoPattern;
        if (ed.undoLabel.equalsIgnoreCase("Randomize Pattern"))
        {
            p.advancedRandom.apply = 0;
            if (ed.randomView != nullptr)
                ed.randomView->update();
        }
        ed.undoLabel = "";
        ed.repaint();
        break;
    case kMenuMidiMode:
        if (p.MidiMode == 0)
        {
            p.MidiMode = 1;
            s.running = 0, s.keyHeld = 0, s.gate = 0, s.slideActive = 0, s.runRequest = 0;
        }
        else
        {
            p.MidiMode = 0;
        }
        break;
    case kMenuSyncMode: p.SyncMode = p.SyncMode != 1 ? 1 : 0; break;
    case kMenuMidiLearn: toggle(p.midiLearnActive), p.guiRefresh = 1; break;
    case kMenuResetMidiLearn: p.resetMidiLearn(), p.guiRefresh = 1; break;
    case kMenuMidiOutput: toggle(p.MidiOutput); break;
    case kMenuTuning: p.TuningMode = 0; break; // in use: back to equal temperament, no dialog
    case kMenuTriplet: s.activePattern().setTriplet(1 - s.activePattern().getTriplet()); break;
    case kMenuDefaultSize: ed.setSize(980, 358); break;
    case kMenuSmallSize: ed.setSize(754, 276); break;
    case kMenuLargeSize: ed.setSize(1508, 552); break;
    case kMenuSticker: toggle(p.ShowSticker); break;
    case kMenuSaveConfig:
        if (!p.WriteConfig("Config.ini"))
            ed.setPatchDisplayText(saveFailureText("Config.ini", errno), kSaveFailureTicks);
        break;
    case kMenuResetConfig:
        backgroundFilename[0] = '\0';
        p.ResetConfig();
        // The host's trim parameters follow the reset trims, so the host shows what sounds.
        p.setParameter(oxn3::kResoTrim, static_cast<float>(p.ResoTrim));
        p.setParameter(oxn3::kGateTrim, static_cast<float>(p.GateTrim));
        p.setParameter(oxn3::kDetune, static_cast<float>(p.TuningTrim));
        p.setParameter(oxn3::kVcfTrim, static_cast<float>(p.VCFTrim));
        break;
    case kMenuOutputClipping: p.OutputClipping = p.OutputClipping ? 0 : 1; break;
    default: break;
    }
}

void JuceDemoPluginAudioProcessorEditor::storeUndo(Synth303& engine, const char* label)
{
    Vst303Pattern& current = engine.activePattern();
    undoPattern = current;
    undoSlot = static_cast<int>(&current - engine.patterns);
    undoLabel = label;
}

bool JuceDemoPluginAudioProcessorEditor::loadPatch(Vst303Pattern* pattern, char* path)
{
    Vst303PatternMetaData meta;
    if (!pattern->Load(path, nullptr, &meta))
    {
        // Neither the pattern nor the knobs change.
        setPatchDisplayText(couldNotReadText(juce::File(juce::String::fromUTF8(path))), kCouldNotReadTicks);
        return false;
    }
    if (!processor.PatternLock)
    {
        for (const KnobTag& k : kKnobTags)
        {
            float value = 0;
            // A damaged knob line ("nan") would silence the voice for good: only numbers are applied.
            if (k.applied && meta.getValue(k.tag, &value) && std::isfinite(value))
                processor.setParameter(k.parameter, juce::jlimit(0.0f, 1.0f, value));
        }
        processor.synth->loadParameters();
        processor.updateHostDisplay();
    }
    repaint();
    return true;
}

bool JuceDemoPluginAudioProcessorEditor::savePatch(Vst303Pattern* pattern, char* path)
{
    Vst303PatternMetaData meta;
    fillPatchMetadata(processor, meta);
    return pattern->Save(path, nullptr, &meta) == 1; // false with the reason in errno
}

void JuceDemoPluginAudioProcessorEditor::setPatchDir(juce::File folder)
{
    processor.patternsFolder = folder;
}
