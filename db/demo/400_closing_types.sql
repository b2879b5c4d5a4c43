-- A closing type besides the year-end one, which the demo register already used in 2026, so that a new
-- user can close the register (and make its vouchers definitive) in every demo year.
INSERT INTO TTCH_TIPOCHIUSURA (ITCHID, STCHSDESC, STCHLDESC, ILOCKED)
  VALUES ((SELECT L_ICNTID FROM PYSETGETID('TTCH_TIPOCHIUSURA', 1)), 'INF', 'Chiusura infrannuale', 0);
