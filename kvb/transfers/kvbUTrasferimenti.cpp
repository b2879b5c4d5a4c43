#include "kvbUTrasferimenti.h"

#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoQueryCollection.h"
#include "VoStatistics.h"
#include "VoTransaction.h"

bool kvbRunTransfer(TfmVoMultiSelect *window, const std::function<void()> &write) {
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        try {
            TVoTransaction transaction;
            transaction.StartTransaction();
            write();
            transaction.Commit();
            VoRefreshStaleStatistics();
            return true;
        } catch (const EVoDatabaseError &e) {
            if (e.IsLockConflict() && attempt < kAttempts)
                continue;
            VoShowException(e);
        } catch (const std::exception &e) {
            VoShowException(e);
        }
        break;
    }
    TVoQueryCollection *list = window->frVoMultiSel->xqcMultiSelect;
    VoGuarded([list] {
        list->Close();
        list->Open();
    });
    return false;
}
