#include "library/Connection.h"

#include <sqlite3.h>

#include "base/Encoding.h"

namespace furlox::library::detail {
namespace {

LibraryFault FaultOf(int code)
{
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return LibraryFault::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
        return LibraryFault::Damaged;
    case SQLITE_FULL:
        return LibraryFault::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return LibraryFault::ReadOnly;
    case SQLITE_CANTOPEN:
        return LibraryFault::CannotOpen;
    default:
        return LibraryFault::Other;
    }
}

std::string MessageFor(LibraryFault fault, const std::filesystem::path& file, int code)
{
    const std::string named = "ライブラリ "_sj + PathText(file);
    switch (fault) {
    case LibraryFault::Busy:
        return "ライブラリは使用中です（別のウィンドウかコマンドが "_sj + PathText(file) +
               " に書き込んでいます）。\r\nその処理が終わってから、もう一度お試しください。"_sj;
    case LibraryFault::Damaged:
        return named + " は壊れているか、ライブラリのファイルではありません。"_sj;
    case LibraryFault::DiskFull:
        return named + " に書き込めません。ディスクがいっぱいです。"_sj;
    case LibraryFault::ReadOnly:
        return named + " に書き込めません。書き込みが許可されていません。"_sj;
    case LibraryFault::CannotOpen:
        return named + " を開けません（フォルダがないか、開くことが許可されていません）。"_sj;
    case LibraryFault::NewerVersion:
    case LibraryFault::Other:
        break;
    }
    if ((code & 0xFF) == SQLITE_IOERR) {
        return named + " の読み書きに失敗しました。"_sj;
    }
    if ((code & 0xFF) == SQLITE_NOMEM) {
        return named + " を扱うためのメモリが足りません。"_sj;
    }
    return named + " の処理に失敗しました（SQLite のエラー "_sj + std::to_string(code) + "）。"_sj;
}

} // namespace

LibraryError ErrorFor(const std::filesystem::path& file, int code, std::string_view detail)
{
    const LibraryFault fault = FaultOf(code);
    return LibraryError(fault, MessageFor(fault, file, code), code,
                        detail.empty() ? std::string(sqlite3_errstr(code)) : std::string(detail));
}

void Connection::Fail(int code) const
{
    // The connection's own words name what failed ("no such table: days"), where it has them
    // for this code; otherwise SQLite's general text for the code.
    const bool own = handle && sqlite3_extended_errcode(handle) == code;
    throw ErrorFor(file, code, own ? sqlite3_errmsg(handle) : "");
}

} // namespace furlox::library::detail
