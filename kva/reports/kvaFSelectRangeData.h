#pragma once
#include "VoSelectRangeDate.h"

// The period of a register report, or the date of the stock list.
using TfmKvaSelectRangeDate = TfmVoSelectRangeDate;
