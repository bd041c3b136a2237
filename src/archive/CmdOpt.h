#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Spells options, names and file lists into one archiver library command line with the
// program's quoting rules. Every piece is appended after a space, also an empty one.
namespace furlox::archive {

// A file list may mix single names and groups of names; empty groups add nothing.
using FileListItem = std::variant<std::string, std::vector<std::string>>;
using FileList = std::vector<FileListItem>;

// The names of a file list in order, groups opened up.
std::vector<std::string> FlattenFileList(const FileList& list);

class TCmdOpt
{
public:
    using NameConverterFunc = std::function<std::string(const std::string&)>;

    const std::string& CommandText() const { return m_commandText; }

    bool SeparateValue() const { return m_separateValue; }
    void SetSeparateValue(bool separate) { m_separateValue = separate; }

    const NameConverterFunc& NameConverter() const { return m_nameConverter; }
    void SetNameConverter(NameConverterFunc converter) { m_nameConverter = std::move(converter); }

    void AddRaw(std::string_view text);
    // "-name<value>" unless the value is -1 (not set).
    void AddSwitch(std::string_view name, int value);
    void AddFlag(std::string_view name, bool flag);
    // Nothing for the unset text; a quoted value for an empty name; otherwise the whole
    // switch in one pair of quotes (or the switch, a space and the quoted value with
    // SeparateValue). A name that begins with a space loses the space and gets no "-".
    void AddString(std::string_view name, const std::string& value);
    // AddString of the directory with a trailing backslash; the last whole CP932 character
    // decides, so the second byte of a double-byte character never counts as one.
    void AddDirectory(std::string_view name, const std::string& dir);
    void AddFiles(std::string_view name, const FileList& list);
    // Writes the names, each quoted and ended by CR LF, to the response file (replacing it
    // whole), then adds "@path" quoted. Throws furlox::Error when the file cannot be written.
    void AddResponseFile(const FileList& list, const std::string& path);

private:
    std::string Convert(const std::string& name) const;

    std::string m_commandText;
    bool m_separateValue = false;
    NameConverterFunc m_nameConverter;
};

} // namespace furlox::archive
