-- The next goods number of a register is the highest one below the limit, plus one. Read through an
-- ascending index, the engine walks the whole range of numbers to its end; a descending index gives
-- the highest numbers first, so the proposal reads the goods from the top down and stops at the
-- first one of the register.
CREATE DESCENDING INDEX IX_BINB_NUMERO_DESC ON TBINB_BENI (IBINBNUMERO);
