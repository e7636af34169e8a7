#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A fresh folder in the system's temp folder for the files of one test, removed with its
// contents when the test ends.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "oxn3-test-XXXXXX").string();
        if (char* made = mkdtemp(pattern.data()))
            folder = made;
    }

    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ignored);
    }

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return folder + "/" + name; }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        return write(name, std::string(bytes.begin(), bytes.end()));
    }

    static std::string read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static std::vector<uint8_t> readBytes(const std::string& file)
    {
        const std::string text = read(file);
        return std::vector<uint8_t>(text.begin(), text.end());
    }

private:
    std::string folder;
};

// Builds the bytes of a binary test file.
struct ByteBuilder
{
    std::vector<uint8_t> bytes;

    ByteBuilder& text(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteBuilder& byte(int b)
    {
        bytes.push_back(static_cast<uint8_t>(b));
        return *this;
    }
    ByteBuilder& fill(size_t n, int b)
    {
        bytes.insert(bytes.end(), n, static_cast<uint8_t>(b));
        return *this;
    }
    ByteBuilder& le32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            byte(static_cast<int>((v >> (8 * i)) & 0xFF));
        return *this;
    }
    ByteBuilder& be32(uint32_t v)
    {
        for (int i = 3; i >= 0; --i)
            byte(static_cast<int>((v >> (8 * i)) & 0xFF));
        return *this;
    }
};
