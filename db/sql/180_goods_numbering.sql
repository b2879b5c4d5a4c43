-- The next goods number of a register reads the goods of the register's vouchers below the highest
-- number: by voucher and number, so that it reads only that register's goods instead of every good
-- below the highest number of all registers.
CREATE INDEX IX_BINB_BBUO_NUMERO ON TBINB_BENI (IBBUOID, IBINBNUMERO);
