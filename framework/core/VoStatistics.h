#pragma once
// Index statistics: the engine plans every query with the selectivity each index had when it was last
// measured, and measures it only when the index is made. A table that grew from empty keeps the
// selectivity of an empty one, and the engine then picks indexes that are no use at all (a goods
// number found by walking every voucher's goods). The programs measure again after the jobs that
// grow tables, and at start-up.
#include <QStringList>

class TVoSQLConnection;

// Measures again every active index of the tables that grew past twice the rows their statistics
// were measured on (and past 100 rows): a table is counted only up to that bound, so a table that did
// not grow costs one read of its rows. Runs in transactions of its own, never in a caller's (nothing
// is done while one is open); an index the user may not measure keeps its statistics. Returns the
// tables measured.
QStringList VoRefreshStaleStatistics(TVoSQLConnection *connection = nullptr);
