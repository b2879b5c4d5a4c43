#pragma once
// The most a quantity or an amount typed into either program may be. Every total of a register-year
// must still hold the sum of its rows, so each row is kept far below what its columns hold:
// - consumables rows keep quantity and unit cost as doubles, but every list and report adds up
//   quantity × cost (with VAT) as exact numerics of 6 decimals in a 64-bit integer: a register-year
//   holds at most 9,2 × 10^12. A quantity up to 99.999 at a unit cost up to 99.999,99 makes a row
//   worth less than 10^10, 2 × 10^10 with the highest VAT: more than 450 rows at the very limit
//   before any yearly sum could overflow, where a school's whole year is a small part of one such
//   row;
// - durable goods and vouchers keep amounts as 64-bit integers of ten-thousandths: a yearly sum holds
//   9,2 × 10^14; an amount up to 999.999.999,99 leaves room for 900.000 such goods.
// - a supplier's turnover is no total of ours, but a double keeps an amount to the cent only up to
//   fifteen digits.
// A quantity is above zero (a negative one would be a loading hidden in an unloading); costs and
// amounts are zero or more.
// Only what a person types, or an import brings from another program, is held to these bounds; what
// the program works out from accepted values is never refused afterwards, so the bounds leave room
// for it:
// - consumables are handed out in unloading units, up to the unit factor (at most 10.000) of them for
//   each loading unit: an unloading quantity may be the largest loading quantity times the largest
//   factor;
// - an unloading row's cost is not typed but priced from the loads (their average cost with VAT,
//   divided by the factor), and carries no bound of its own: the stock check keeps the row worth no
//   more than the loads it unloads.
#include "VoBounds.h"

inline constexpr double AbcMaxQuantity = 99999.0;
inline constexpr double AbcMaxUnitFactor = 10000.0;
inline constexpr double AbcMaxUnloadQuantity = AbcMaxQuantity * AbcMaxUnitFactor;
inline constexpr double AbcMaxUnitCost = 99999.99;
// An average of loaded costs with their VAT (a rate of at most 100) never exceeds twice the largest
// cost, nor does it once the VAT is taken out again at another rate: what a year's closing carries
// over stays within it.
inline constexpr double AbcMaxCarriedUnitCost = 2 * AbcMaxUnitCost;
inline constexpr double AbcMaxAmount = 999999999.99;
inline constexpr double AbcMaxTurnover = 9999999999999.99;

inline TVoBounds AbcQuantityBounds(const QString &caption) {
    return TVoBounds::Positive(AbcMaxQuantity, caption);
}
// A quantity in unloading units.
inline TVoBounds AbcUnloadQuantityBounds(const QString &caption) {
    return TVoBounds::Positive(AbcMaxUnloadQuantity, caption);
}
// How many unloading units make one loading unit.
inline TVoBounds AbcUnitFactorBounds(const QString &caption) {
    return TVoBounds::Positive(AbcMaxUnitFactor, caption);
}
inline TVoBounds AbcUnitCostBounds(const QString &caption) {
    return TVoBounds::NotNegative(AbcMaxUnitCost, caption);
}
// An amount kept in ten-thousandths.
inline TVoBounds AbcAmountBounds(const QString &caption) {
    return TVoBounds::NotNegative(AbcMaxAmount, caption, 4);
}
// An amount kept as a double, to the cent.
inline TVoBounds AbcTurnoverBounds(const QString &caption) {
    return TVoBounds::NotNegative(AbcMaxTurnover, caption);
}
