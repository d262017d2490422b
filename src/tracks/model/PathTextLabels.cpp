#include "tracks/model/PathTextLabels.h"

namespace {

PathTextLabels* s_installed = nullptr;

} // namespace

PathTextLabels* PathTextLabels::installed()
{
    return s_installed;
}

void PathTextLabels::install(PathTextLabels* labels)
{
    s_installed = labels;
}
