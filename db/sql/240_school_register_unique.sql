-- A school holds a register once: the same link twice would list its register-years twice and split
-- its years between the two links. A database of the suite that already holds such a pair keeps
-- working without the key (the school-register window refuses a new pair by itself).
SET TERM ^ ;

EXECUTE BLOCK AS
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM TDWGFAC GROUP BY IDWGID, IFACID HAVING COUNT(*) > 1)) THEN
    EXECUTE STATEMENT 'ALTER TABLE TDWGFAC ADD CONSTRAINT UQ_DWGFAC_DWG_FAC UNIQUE (IDWGID, IFACID)';
END^

SET TERM ; ^
