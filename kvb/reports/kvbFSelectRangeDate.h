#pragma once
#include "VoSelectRangeDate.h"

// The verification date of a closing and the date of the books list.
using TfmkvbSelectRangeDate = TfmVoSelectRangeDate;
