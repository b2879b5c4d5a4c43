-- The re-pricing of unloading rows in one pass.
--
-- An unloading row costs the average cost of its article at its voucher's date, in the stock scope
-- of its voucher's register-year, per unloading measure (PKVA_GETGIACENZA's COSTOUNIMED divided by
-- the unit factor). Asking PKVA_GETGIACENZA once per unloading row sums the article's rows once per
-- unloading row: the time grows with the square of the rows. Here the article's rows of one scope
-- are walked once, day by day in date order, with the loads counted so far; the loads of a day
-- count before its unloadings are priced, as the stock at a date counts every row of that day.
-- Vouchers without a date count for nothing, and their unloading rows cost 0.

SET TERM ^ ;

-- The article's unloading rows in the stock scope of a register-year: that register-year when its
-- register numbers per year, else every register-year of its school register.
CREATE PROCEDURE PKVA_RIPREZZASCARICHI (IFARID INTEGER, IDWGFACANFID INTEGER)
AS
DECLARE VARIABLE INUMERAZ INTEGER;
DECLARE VARIABLE IIVAINCLUSA INTEGER;
DECLARE VARIABLE IDWGFACID INTEGER;
DECLARE VARIABLE FFATTORE DOUBLE PRECISION;
DECLARE VARIABLE FCARICATO DOUBLE PRECISION;
DECLARE VARIABLE FVALORE DOUBLE PRECISION;
DECLARE VARIABLE IAFCID INTEGER;
DECLARE VARIABLE ITIPO INTEGER;
DECLARE VARIABLE DGIORNO DATE;
DECLARE VARIABLE FQUANTITA DOUBLE PRECISION;
DECLARE VARIABLE FCOSTO DOUBLE PRECISION;
DECLARE VARIABLE FIVA DOUBLE PRECISION;
DECLARE VARIABLE FPREZZO DOUBLE PRECISION;
BEGIN
  SELECT fac.IFACNUMERAZ, fac.IFACIVAINCLUSA, dfa.IDWGFACID
    FROM TDWGFACANF dfa
    INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID
    INNER JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID
   WHERE dfa.IDWGFACANFID = :IDWGFACANFID
    INTO :INUMERAZ, :IIVAINCLUSA, :IDWGFACID;

  -- A register-year without its register has an empty scope: nothing was loaded for its rows.
  IF (IDWGFACID IS NULL) THEN
  BEGIN
    UPDATE TAFC_ARTVELIST afc SET afc.FAFCCOSTOUNIT = 0
     WHERE afc.IFARID = :IFARID
       AND afc.IFBUOID IN (SELECT buo.IFBUOID FROM TFBUO_BUONI buo
                            WHERE buo.IFBUOTIPO = 1 AND buo.IDWGFACANFID = :IDWGFACANFID);
    EXIT;
  END

  FFATTORE = FKVA_FATTOREUNITA(:IFARID);
  FCARICATO = 0;
  FVALORE = 0;
  FOR SELECT afc.IAFCID, buo.IFBUOTIPO, buo.DFBUODATA, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT, alv.FALVIVA
        FROM TAFC_ARTVELIST afc
        INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
        LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = afc.IALVID
       WHERE afc.IFARID = :IFARID
         AND ((:INUMERAZ = 1 AND buo.IDWGFACANFID = :IDWGFACANFID)
              OR (:INUMERAZ IS DISTINCT FROM 1
                  AND EXISTS (SELECT 1 FROM TDWGFACANF dfa
                               WHERE dfa.IDWGFACANFID = buo.IDWGFACANFID AND dfa.IDWGFACID = :IDWGFACID)))
       ORDER BY buo.DFBUODATA NULLS FIRST, buo.IFBUOTIPO
        INTO :IAFCID, :ITIPO, :DGIORNO, :FQUANTITA, :FCOSTO, :FIVA
  DO
  BEGIN
    IF (ITIPO = 0) THEN
    BEGIN
      IF (DGIORNO IS NOT NULL AND FQUANTITA IS NOT NULL) THEN
      BEGIN
        FCARICATO = FCARICATO + FQUANTITA;
        FVALORE = FVALORE + FQUANTITA * COALESCE(FCOSTO, 0)
                  * IIF(:IIVAINCLUSA = 1, 1, 1 + COALESCE(FIVA, 0) / 100);
      END
    END
    ELSE IF (ITIPO = 1) THEN
    BEGIN
      FPREZZO = IIF(DGIORNO IS NULL OR FCARICATO = 0, 0, FVALORE / FCARICATO) / FFATTORE;
      -- A row whose cost stays is left alone: it gains no new version to clean up later.
      IF (FCOSTO IS DISTINCT FROM FPREZZO) THEN
        UPDATE TAFC_ARTVELIST SET FAFCCOSTOUNIT = :FPREZZO WHERE IAFCID = :IAFCID;
    END
  END
END^

-- The same after a row of a voucher changed: the scope of the voucher's register-year.
CREATE PROCEDURE PKVA_RIPREZZABUONO (IFARID INTEGER, IFBUOID INTEGER)
AS
DECLARE VARIABLE IDWGFACANFID INTEGER;
BEGIN
  SELECT IDWGFACANFID FROM TFBUO_BUONI WHERE IFBUOID = :IFBUOID INTO :IDWGFACANFID;
  IF (IDWGFACANFID IS NOT NULL) THEN
    EXECUTE PROCEDURE PKVA_RIPREZZASCARICHI(:IFARID, :IDWGFACANFID);
END^

-- Every unloading row of an article, in every scope that holds one: each scope walked once.
CREATE PROCEDURE PKVA_RIPREZZAARTICOLO (IFARID INTEGER)
AS
DECLARE VARIABLE IDWGFACANFID INTEGER;
BEGIN
  -- Register-years of a register that runs across its years share their school register's scope.
  FOR SELECT MIN(buo.IDWGFACANFID)
        FROM TAFC_ARTVELIST afc
        INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
        LEFT JOIN TDWGFACANF dfa ON dfa.IDWGFACANFID = buo.IDWGFACANFID
        LEFT JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID
        LEFT JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID
       WHERE afc.IFARID = :IFARID AND buo.IFBUOTIPO = 1
       GROUP BY IIF(fac.IFACID IS NOT NULL AND fac.IFACNUMERAZ IS DISTINCT FROM 1, df.IDWGFACID, NULL),
                IIF(fac.IFACID IS NOT NULL AND fac.IFACNUMERAZ IS DISTINCT FROM 1, NULL, buo.IDWGFACANFID)
        INTO :IDWGFACANFID
  DO
    EXECUTE PROCEDURE PKVA_RIPREZZASCARICHI(:IFARID, :IDWGFACANFID);
END^

-- Every unloading row of every article.
CREATE PROCEDURE PKVA_RIPREZZATUTTI
AS
DECLARE VARIABLE IFARID INTEGER;
BEGIN
  FOR SELECT DISTINCT afc.IFARID
        FROM TAFC_ARTVELIST afc
        INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
       WHERE buo.IFBUOTIPO = 1 AND afc.IFARID IS NOT NULL
        INTO :IFARID
  DO
    EXECUTE PROCEDURE PKVA_RIPREZZAARTICOLO(:IFARID);
END^

SET TERM ; ^
