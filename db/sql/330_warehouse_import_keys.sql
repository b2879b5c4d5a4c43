-- What the inventory's import from the warehouse relies on.

-- A warehouse movement becomes at most one loading voucher: a second import of it fails inside its own
-- transaction, even when two copies of the program confirm at once. Vouchers of no movement keep
-- IMGMID NULL, which may repeat.
ALTER TABLE TBBUO_BUONI ADD CONSTRAINT UQ_BBUO_MGM UNIQUE (IMGMID);

-- The testing minutes of a warehouse movement row, which the imported goods inherit from their load.
CREATE TABLE TMGMARTVER (
  IMGMARTVERID  INTEGER NOT NULL PRIMARY KEY,
  IMGMARTID     INTEGER NOT NULL,
  IVERID        INTEGER NOT NULL
);
CREATE INDEX IX_MGMARTVER_MGMART ON TMGMARTVER (IMGMARTID);
