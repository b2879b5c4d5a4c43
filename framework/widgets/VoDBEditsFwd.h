#pragma once
// The data-aware controls by name alone, for the headers of frames that hold them as members: the
// frames' sources include the controls' own headers.
class TVoDBCheckBox;
class TVoDBCurrencyEdit;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoDBMemo;
class TVoDBMoneyEdit;
class TVoDBNumericEdit;
