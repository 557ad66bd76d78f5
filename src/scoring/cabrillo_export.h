#pragma once
// The Cabrillo header kept across the library's life, the header dialog and the Cabrillo file writer.
#include <string>

#include "common/ole_date_time.h"

class CabrilloExport {
public:
    // Shows the header dialog for this station; 1 on OK, 0 on cancel.
    int EditHeader(const std::string& callSign, const COleDateTime& start, const COleDateTime& end);
};
