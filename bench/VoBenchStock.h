#pragma once
// The stock benchmark's generated register: 5,000 articles and 200,000 voucher rows over the
// register-years 2025 and 2026 of the demo register. Every article has an opening load in each year
// and about 38 rows spread over 4,000 vouchers; article 1 also has 100 loads and 500 unloads in 2026,
// unloaded in boxes of 12. Every fifth article is bought in boxes of 12, every third at 10% VAT.
class TVoSQLConnection;

inline constexpr int kBenchArticles = 5000;
inline constexpr int kBenchVouchersPerKindAndYear = 1000;
inline constexpr int kBenchRows = 200000;
inline constexpr int kBenchHotLoads = 100;
inline constexpr int kBenchHotUnloads = 500;

// The first keys of what was generated, and the register-years and codes it uses.
struct TVoBenchKeys {
    int article = 0, voucher = 0, row = 0, y25 = 0, y26 = 0, piece = 0, box = 0, vat22 = 0, vat10 = 0;
};

// Fills the open demo database; voucher v (from 0) of year y (0: 2025, 1: 2026) and kind t has the key
// voucher + y * 2000 + t * 1000 + v.
TVoBenchKeys VoBenchGenerateRegister(TVoSQLConnection *conn);
