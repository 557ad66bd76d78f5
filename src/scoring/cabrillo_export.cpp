#include "scoring/cabrillo_export.h"

int CabrilloExport::EditHeader(const std::string&, const COleDateTime&, const COleDateTime&) { return 1; }
