#include "base/SystemError.h"

#include <cerrno>

#include "base/Encoding.h"

namespace furlox {

std::string SystemErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return "ファイルが見つかりません"_sj;
    case EACCES:
    case EPERM:
        return "アクセスが許可されていません"_sj;
    case ENOSPC:
        return "ディスクの空きが足りません"_sj;
    case ENAMETOOLONG:
        return "ファイル名が長すぎます"_sj;
    case EISDIR:
        return "フォルダです"_sj;
    case EIO:
        return "ディスクの読み書きに失敗しました"_sj;
    case EROFS:
        return "書き込みのできないディスクです"_sj;
    default:
        return "システムのエラー番号 "_sj + std::to_string(error);
    }
}

} // namespace furlox
