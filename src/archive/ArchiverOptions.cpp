#include "archive/ArchiverOptions.h"

namespace furlox::archive {

const std::string& UnsetText()
{
    static const std::string unset(1, '\0');
    return unset;
}

bool IsUnset(const std::string& value)
{
    return value == UnsetText();
}

TResFileUsage::TResFileUsage(std::initializer_list<TResFileUse> uses)
{
    for (TResFileUse use : uses) {
        Include(use);
    }
}

void TArchiverOptions::Reset()
{
    for (Switch* s : {&mz, &a,  &c,  &e,   &f,  &h,   &i,   &l,   &m,   &n,   &o,   &p,  &r,
                      &s,  &t,  &u,  &x,   &y,  &z,   &jc,  &jd,  &je,  &jf,  &jh,  &ji, &jm,
                      &jn, &jp, &jr, &jss, &jw, &jwe, &jyc, &jyd, &jyk, &jyn, &jyo, &ga, &gd,
                      &ge, &gf, &gj, &gm,  &gn, &go,  &gp,  &gs,  &gu,  &gw}) {
        *s = kSwitchUnset;
    }
    for (std::string* text : {&w, &jo, &job, &jz, &gr}) {
        *text = UnsetText();
    }
    jx.clear();
    UserOptions.clear();
    UserFileList.clear();
    PackFilter = pfComponent;
    ResFileName.clear();
    ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem};
}

} // namespace furlox::archive
