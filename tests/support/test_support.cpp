#include "support/test_support.h"

#include <stdio.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

namespace {
std::atomic<int> scratchCounter{0};
}

const std::string& OriginalTempFolder()
{
    static const std::string original = fs::temp_directory_path().string();
    return original;
}

void RestoreTempFolder()
{
    SetTempFolder(OriginalTempFolder());
}

ScratchFolder::ScratchFolder(const char* tag)
{
    auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        fs::path candidate = fs::path(OriginalTempFolder()) /
                             ("qdxtest-" + std::string(tag) + "-" + std::to_string(now % 1000000007) + "-" +
                              std::to_string(scratchCounter++));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate.string();
            return;
        }
        if (error) throw std::runtime_error("cannot make scratch folder " + candidate.string());
    }
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    // Read-only leftovers of tests must not keep the scratch folder alive.
    for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        std::error_code ignored;
        if (!it->is_symlink(ignored)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, error);
}

std::string ScratchFolder::operator/(const std::string& relative) const
{
    return Join(path_, relative);
}

std::string Join(const std::string& folder, const std::string& relative)
{
    return (fs::path(folder) / fs::path(relative).make_preferred()).string();
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text)
{
    WriteBytes(path, TextBytes(text));
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

void MakeFolders(const std::string& path)
{
    fs::create_directories(path);
}

Bytes TextBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Tree SnapshotTree(const std::string& root)
{
    std::map<std::string, std::string> tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string relative = fs::relative(it->path(), root).generic_string();
        if (it->is_symlink()) {
            tree[relative] = "<link>";
            it.disable_recursion_pending();
        } else if (it->is_directory()) {
            tree[relative] = "<dir>";
        } else {
            Bytes bytes = ReadBytes(it->path().string());
            tree[relative] = std::string(bytes.begin(), bytes.end());
        }
    }
    return tree;
}

std::vector<std::string> ListNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
}

void PutUint32(Bytes& bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

namespace {
void PutRows(Bytes& bytes, const std::vector<PackRow>& rows)
{
    PutUint32(bytes, static_cast<uint32_t>(rows.size()));
    for (const PackRow& row : rows) {
        PutUint32(bytes, static_cast<uint32_t>(row.name.size()));
        bytes.insert(bytes.end(), row.name.begin(), row.name.end());
        PutUint32(bytes, row.offset);
        PutUint32(bytes, row.size);
    }
}
}  // namespace

Bytes PackImage::Build() const
{
    Bytes bytes;
    PutRows(bytes, folders);
    PutRows(bytes, files);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

void PackImage::Folder(const std::string& name)
{
    folders.push_back({name, 0, 0});
}

void PackImage::File(const std::string& name, const Bytes& stored)
{
    files.push_back({name, static_cast<uint32_t>(data.size()), static_cast<uint32_t>(stored.size())});
    data.insert(data.end(), stored.begin(), stored.end());
}

}  // namespace testing_support
