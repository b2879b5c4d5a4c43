#pragma once
// "Nuovo Anno" of the consumables register: the common window (AbcFNuovoAnno.h) on the registers of
// every type but the durable-goods ones, each register linked to one school at most.
#include "AbcFNuovoAnno.h"

const TAbcNuovoAnnoProfile &kvaNuovoAnnoProfile();
