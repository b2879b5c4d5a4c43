#pragma once
// How both programs price a row that the warehouse issued to them, in selects over the issued row
// `mga` and its movement `mgm` (amounts in ten-thousandths). Every row is priced on its own: a row
// taken from a row of the movement's load costs that row's unit amount, to which the row's VAT is
// still to be added (ADDVAT 1); any other row costs, as it stands, the average unit amount of the
// article's latest load of the school and year dated up to the issue, else (no such load, or one
// without an average) the article's initial unit cost of that school and year, else 0.

// The load row a row was taken from, when it has one.
#define ABC_SQL_MAG_LOAD_ROW                                                                                 \
    " LEFT JOIN TMGMART car ON (car.IMGMARTID = mga.IMGMARTID_P AND car.IMGMID = mgm.IMGMID_P) "

#define ABC_SQL_MAG_INITIAL_COST                                                                             \
    "(SELECT FIRST 1 g.FGIACOSTOUNIINIZ FROM TGIA_GIACENZE g WHERE g.IARTID = mga.IARTID AND g.IDWGID = "    \
    "mgm.IDWGID AND g.IGIAESERCIZIOFIN = mgm.IMGMESERCIZIOFIN)"

// IMPORTO and ADDVAT of the row; needs ABC_SQL_MAG_LOAD_ROW among the joins.
#define ABC_SQL_MAG_UNIT_AMOUNT                                                                              \
    "IIF(car.IMGMARTID IS NOT NULL, car.FMGMARTIMPORTOUNI, COALESCE((SELECT FIRST 1 "                        \
    "COALESCE(r.FMGMARTIMPUNIMEDIO, " ABC_SQL_MAG_INITIAL_COST ", 0) FROM TMGMART r INNER JOIN "             \
    "TMGM_MOVMAGAZZINO m ON (r.IMGMID = m.IMGMID) INNER JOIN TTBU_TIPIBUONI t ON (m.ITBUID = t.ITBUID) "     \
    "WHERE t.ITBUTIPO = 0 AND r.IARTID = mga.IARTID AND m.IDWGID = mgm.IDWGID AND m.IMGMESERCIZIOFIN = "     \
    "mgm.IMGMESERCIZIOFIN AND m.DMGMDATAMOVIMENTO <= mgm.DMGMDATAMOVIMENTO ORDER BY m.DMGMDATAMOVIMENTO "    \
    "DESC), " ABC_SQL_MAG_INITIAL_COST ", 0)) AS IMPORTO, IIF(car.IMGMARTID IS NOT NULL, 1, 0) AS ADDVAT"
