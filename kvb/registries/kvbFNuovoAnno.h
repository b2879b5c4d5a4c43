#pragma once
// "Nuovo Anno" of the durable-goods program: the common window (AbcFNuovoAnno.h) on the registers of
// types 5 and 7, which keeps the working context's school register and register-year.
#include "AbcFNuovoAnno.h"

const TAbcNuovoAnnoProfile &kvbNuovoAnnoProfile();
