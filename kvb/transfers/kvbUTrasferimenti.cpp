#include "kvbUTrasferimenti.h"

#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoQueryCollection.h"
#include "VoStatistics.h"
#include "VoTransaction.h"

bool kvbRunTransfer(TfmVoMultiSelect *window, const std::function<void()> &write) {
    try {
        VoWriteRetryingConflicts(write);
        VoRefreshStaleStatistics();
        return true;
    } catch (const std::exception &e) {
        VoShowException(e);
    }
    TVoQueryCollection *list = window->frVoMultiSel->xqcMultiSelect;
    VoGuarded([list] {
        list->Close();
        list->Open();
    });
    return false;
}
