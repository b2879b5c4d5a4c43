#pragma once
// The consumables register the benchmarks run on, generated in a demo database: 5,000 articles and
// 200,000 voucher rows over the register-years 2025 and 2026 of the demo register. Every article has
// an opening load in each year and about 38 rows spread over 4,000 vouchers; the first article also
// has 100 loads and 500 unloads in 2026, unloaded in boxes of 12. Every fifth article is bought in
// boxes of 12, every third at 10% VAT; the articles are "ARTICOLO n" with the code n + 1.
class TVoSQLConnection;
class QDate;

inline constexpr int kVoBenchArticles = 5000;
inline constexpr int kVoBenchRows = 200000;

// The first keys of what was generated: voucher v (from 0) of year y (0 is 2025) and kind t (1
// unloading) is voucher + y * 2000 + t * 1000 + v.
struct TVoBenchRegister {
    int article = 0, voucher = 0, row = 0, y25 = 0, y26 = 0, piece = 0, box = 0, vat22 = 0, vat10 = 0;
};

// Generates the register, in one transaction, then measures the index statistics of the tables it
// grew, as the programs do.
TVoBenchRegister VoBenchGenerateRegister(TVoSQLConnection *conn);
// Spreads the generated articles over five categories, for the figures that go category by category.
void VoBenchSpreadCategories(const TVoBenchRegister &k, TVoSQLConnection *conn);

// The bare query that the stock of every article is measured against: one GROUP BY over the rows of
// the scope (the register-year, with across also the other year) up to the date, stock and loaded
// value per article, read to the end. Returns the milliseconds it took; rows, when given, receives
// how many articles it gave.
double VoBenchBareStockGroupBy(TVoSQLConnection *conn, const QDate &date, int registerYear, int otherYear,
                               int *rows = nullptr);
