-- A school holds a register once: the same link twice would list its register-years twice and split
-- its years between the two links.
ALTER TABLE TDWGFAC ADD CONSTRAINT UQ_DWGFAC_DWG_FAC UNIQUE (IDWGID, IFACID);
