#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dorvan.h"
#include "test_registry.h"

namespace dorvan::test {

namespace fs = std::filesystem;

namespace {

// Key paths as folders; the tests name keys in their stored letter case.
fs::path Folder(const fs::path &root, const std::string &key)
{
    fs::path folder = root / "HKEY_LOCAL_MACHINE";
    size_t start = 0;
    while (start <= key.size()) {
        size_t end = key.find('\\', start);
        if (end == std::string::npos)
            end = key.size();
        folder /= key.substr(start, end - start);
        start = end + 1;
    }
    return folder;
}

std::string Hex(const Bytes &data)
{
    std::string out;
    for (size_t i = 0; i < data.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i ? ",%02x" : "%02x", data[i]);
        out += pair;
    }
    return out;
}

// The values file as lines, without the comment that opens it.
std::vector<std::string> Lines(const fs::path &file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != ';')
            lines.push_back(line);
    return lines;
}

void WriteLines(const fs::path &file, const std::vector<std::string> &lines)
{
    std::ofstream out(file, std::ios::trunc);
    for (const std::string &line : lines)
        out << line << "\n";
}

std::string Quoted(const std::string &name) { return "\"" + name + "\"="; }

// Backslashes and quotes escaped, as the values file wants them.
std::string Escaped(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

std::string Unescaped(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        out += text[i] == '\\' && i + 1 < text.size() ? text[++i] : text[i];
    return out;
}

}  // namespace

struct TestRegistry::Saved {
    TempDirectory root;
};

TestRegistry::TestRegistry() : saved_(new Saved)
{
    EXPECT_EQ(0, DorvanSetRegistryRoot(saved_->root.Name().c_str()));
    CreateKey("Software\\Microsoft\\Windows\\CurrentVersion");
    CreateKey("Software\\Microsoft\\Shared Tools\\MSInfo");
}

TestRegistry::~TestRegistry()
{
    // Later tests start without a registry unless they make their own.
    DorvanSetRegistryRoot((saved_->root.Path() / "gone").string().c_str());
}

fs::path TestRegistry::FolderOfKey(const std::string &key) const { return Folder(saved_->root.Path(), key); }

void TestRegistry::CreateKey(const std::string &key) { fs::create_directories(Folder(saved_->root.Path(), key)); }

void TestRegistry::DeleteKey(const std::string &key) { fs::remove_all(Folder(saved_->root.Path(), key)); }

bool TestRegistry::KeyExists(const std::string &key) const
{
    return fs::is_directory(Folder(saved_->root.Path(), key));
}

void TestRegistry::SetValue(const std::string &key, const std::string &name, uint32_t type, const Bytes &data)
{
    CreateKey(key);
    DeleteValue(key, name);
    fs::path file = Folder(saved_->root.Path(), key) / "values.reg";
    std::vector<std::string> lines = Lines(file);
    lines.push_back(Quoted(name) + "hex(" + std::to_string(type) + "):" + Hex(data));
    WriteLines(file, lines);
}

void TestRegistry::SetString(const std::string &key, const std::string &name, const std::string &text)
{
    // As a person would write it in the file.
    CreateKey(key);
    DeleteValue(key, name);
    fs::path file = Folder(saved_->root.Path(), key) / "values.reg";
    std::vector<std::string> lines = Lines(file);
    lines.push_back(Quoted(name) + "sz:\"" + Escaped(text) + "\"");
    WriteLines(file, lines);
}

void TestRegistry::DeleteValue(const std::string &key, const std::string &name)
{
    fs::path file = Folder(saved_->root.Path(), key) / "values.reg";
    std::vector<std::string> kept;
    for (const std::string &line : Lines(file))
        if (line.rfind(Quoted(name), 0) != 0)
            kept.push_back(line);
    if (fs::exists(file))
        WriteLines(file, kept);
}

std::optional<RegistryValue> TestRegistry::Value(const std::string &key, const std::string &name) const
{
    fs::path file = Folder(saved_->root.Path(), key) / "values.reg";
    for (const std::string &line : Lines(file)) {
        if (line.rfind(Quoted(name), 0) != 0)
            continue;
        std::string rest = line.substr(Quoted(name).size());
        if (rest.rfind("sz:\"", 0) == 0 && rest.back() == '"') {
            Bytes data = ToBytes(Unescaped(rest.substr(4, rest.size() - 5)));
            data.push_back(0);
            return RegistryValue{1, data};
        }
        if (rest.rfind("dword:", 0) == 0) {
            uint32_t number = static_cast<uint32_t>(std::stoul(rest.substr(6), nullptr, 16));
            return RegistryValue{4, Bytes{uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16), uint8_t(number >> 24)}};
        }
        size_t close = rest.find("):");
        Bytes data;
        std::istringstream hex(rest.substr(close + 2));
        for (std::string pair; std::getline(hex, pair, ',');)
            data.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
        return RegistryValue{static_cast<uint32_t>(std::stoul(rest.substr(4, close - 4))), data};
    }
    return std::nullopt;
}

}  // namespace dorvan::test
