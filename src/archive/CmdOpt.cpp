#include "archive/CmdOpt.h"

#include "archive/ArchiverOptions.h"
#include "base/AtomicFile.h"
#include "base/Encoding.h"
#include "base/Error.h"

namespace furlox::archive {

std::vector<std::string> FlattenFileList(const FileList& list)
{
    std::vector<std::string> names;
    for (const FileListItem& item : list) {
        if (const auto* single = std::get_if<std::string>(&item)) {
            names.push_back(*single);
        } else {
            const auto& group = std::get<std::vector<std::string>>(item);
            names.insert(names.end(), group.begin(), group.end());
        }
    }
    return names;
}

std::string TCmdOpt::Convert(const std::string& name) const
{
    return m_nameConverter ? m_nameConverter(name) : name;
}

void TCmdOpt::AddRaw(std::string_view text)
{
    m_commandText += ' ';
    m_commandText += text;
}

void TCmdOpt::AddSwitch(std::string_view name, int value)
{
    if (value != -1) {
        AddRaw("-" + std::string(name) + std::to_string(value));
    }
}

void TCmdOpt::AddFlag(std::string_view name, bool flag)
{
    if (flag) {
        AddRaw("-" + std::string(name));
    }
}

void TCmdOpt::AddString(std::string_view name, const std::string& value)
{
    if (IsUnset(value)) {
        return;
    }
    if (name.empty()) {
        AddRaw('"' + value + '"');
        return;
    }
    std::string switchName =
        name.front() == ' ' ? std::string(name.substr(1)) : "-" + std::string(name);
    if (m_separateValue) {
        AddRaw(switchName + " \"" + value + '"');
    } else {
        AddRaw('"' + switchName + value + '"');
    }
}

void TCmdOpt::AddDirectory(std::string_view name, const std::string& dir)
{
    if (dir.empty() || IsUnset(dir)) {
        return;
    }
    const std::size_t last = dir.size() - 1;
    const bool endsInBackslash = dir[last] == '\\' && !IsTrailByteAt(dir, last);
    AddString(name, endsInBackslash ? dir : dir + '\\');
}

void TCmdOpt::AddFiles(std::string_view name, const FileList& list)
{
    for (const std::string& file : FlattenFileList(list)) {
        AddString(name, Convert(file));
    }
}

void TCmdOpt::AddResponseFile(const FileList& list, const std::string& path)
{
    std::string text;
    for (const std::string& file : FlattenFileList(list)) {
        text += '"' + Convert(file) + "\"\r\n";
    }
    if (!WriteFileAtomic(path, text)) {
        throw Error("応答ファイル "_sj + path + " に書き込めません。"_sj);
    }
    AddString("", "@" + path);
}

} // namespace furlox::archive
