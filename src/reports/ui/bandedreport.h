#pragma once
// The report layout lives in the core library, so the batch tool can write
// reports as PDF without a display; windows keep including it from here.
#include "reports/bandedreport.h"
