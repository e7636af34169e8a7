#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

// A fresh folder in the system's temp folder for one test's files, removed with them at the end.
class ScratchFolder
{
public:
    ScratchFolder() : ScratchFolder(std::filesystem::temp_directory_path().string()) {}
    explicit ScratchFolder(const std::string& parent) : folder(parent + "/oxn3-test-XXXXXX")
    {
        if (mkdtemp(folder.data()) == nullptr) throw std::runtime_error("no scratch folder");
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return folder + "/" + name; }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
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
        return {text.begin(), text.end()};
    }

private:
    std::string folder;
};

// Builds the bytes of a binary test file.
struct ByteBuilder
{
    std::vector<uint8_t> bytes;

    ByteBuilder& byte(int b) { return fill(1, b); }
    ByteBuilder& fill(size_t n, int b)
    {
        bytes.insert(bytes.end(), n, static_cast<uint8_t>(b));
        return *this;
    }
    ByteBuilder& text(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteBuilder& le32(uint32_t v) { return byte(v & 0xFF).byte((v >> 8) & 0xFF).byte((v >> 16) & 0xFF).byte(v >> 24); }
    ByteBuilder& be32(uint32_t v) { return byte(v >> 24).byte((v >> 16) & 0xFF).byte((v >> 8) & 0xFF).byte(v & 0xFF); }
};
