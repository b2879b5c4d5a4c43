#pragma once
// The generated durable-goods register that the durable-goods benchmarks run on: 100,000 goods in the
// demo inventory's register opened in 2025 and 2026, on 1,000 loading vouchers (those of 2025
// definitive, 500 a year dated through it), the first of 2026 holding 5,000 goods, and 100 unloading
// vouchers of 2026 from 1 June that discharged about 5,000 goods of 2025. Every good holds its first
// sector, value and site periods.
#include <QString>

class TVoSQLConnection;

inline constexpr int kGoods = 100000;
inline constexpr int kVouchersPerYear = 500;
inline constexpr int kUnloading = 100;

struct TVoBenchGoods {
    int facId = 0, y25 = 0, y26 = 0, voucher = 0, unloading = 0, good = 0, sector = 0, site = 0;
};

// The register-year of a register and year.
int VoBenchRegisterYear(TVoSQLConnection *conn, int facId, int year);
// Generates the register, its vouchers and then its goods each in one transaction, then measures the
// index statistics of the tables it grew, as the programs do; goods (whole thousands) other than
// kGoods spread over the same vouchers.
TVoBenchGoods VoBenchGenerateGoods(TVoSQLConnection *conn, int goods = kGoods);
// Grows the register by goods more (whole thousands) on the same vouchers, as the goods from (a whole
// thousand) on of a register generated that large would be.
void VoBenchAddGoods(TVoSQLConnection *conn, const TVoBenchGoods &k, int from, int goods);
// The least a discharge writes: count goods still in charge that meet which (a condition on
// TBINB_BENI, none when empty) put on voucher by one statement, timed in a transaction rolled back,
// its old versions cleaned up after. Milliseconds.
double VoBenchDischargeFloor(int voucher, int count, const QString &which = QString());
