#pragma once
// Routines of the beneficiaries window: the recalculation of every stored IBAN, the question before
// closing a frame with a pending row, and the amounts typed with currency symbol and separators.
#include "VoMoney.h"

#include <QString>

class TVoAttShell;
class TfrVoDBRWGrid;

// Recomputes national number and IBAN of every bank-data row of the live beneficiaries that names
// bank, branch and account, each row saved on its own. Rows that give no IBAN are left as they are
// and their beneficiaries' names listed in the log "ErrorBenIBAN<yyMMdd>.txt" in var/log/abc under
// the main folder, which the shell item then opens.
void RecalcAllIBAN(TVoAttShell *shell);

// Before a window closes: a frame whose row is being inserted or edited asks whether to save it
// (Yes, No, Cancel, with the exclamation icon); Yes runs its post action, No its cancel action. False
// when the window must stay open: Cancel, or a post that did not save.
bool AskSaveFrameBeforeClose(TfrVoDBRWGrid *frame, const QString &caption, int helpContext);

// "." and a "0" for each decimal of the currency; empty for a currency without decimals.
QString CurrencyDecimalsSuffix();

// An amount typed the Italian way with the euro sign and thousands dots ("€ 1.234,56"); 0 when
// the text is no amount.
TVoMoney AmountTextToCurrency(const QString &text);
