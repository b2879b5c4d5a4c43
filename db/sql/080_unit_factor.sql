-- The unit factor of an article in one place: how many unloading measures make one loading measure,
-- a unit without a factor, or with 0, counting as 1 (so does an article without a unit). The stock
-- procedures and the re-pricing of unloading rows divide unloading quantities and average costs by
-- it; the procedures are made again here, unchanged but for reading the factor from the function.

SET TERM ^ ;

CREATE FUNCTION FKVA_FATTOREUNITA (IFARID INTEGER) RETURNS DOUBLE PRECISION
AS
DECLARE VARIABLE FFATTORE DOUBLE PRECISION;
BEGIN
  SELECT unm.FUNMFATTOREPROP
    FROM TFAR_FACARTICOLI far
    LEFT JOIN TUNM_UNITAMISURA unm ON unm.IUNMID = far.IUNMID
   WHERE far.IFARID = :IFARID
    INTO :FFATTORE;
  RETURN COALESCE(NULLIF(FFATTORE, 0), 1);
END^

CREATE OR ALTER PROCEDURE PKVA_GETGIACENZA (IFARID INTEGER, DDATA TIMESTAMP, IDWGFACANFID INTEGER, ISECID INTEGER)
RETURNS (GIACENZA DOUBLE PRECISION, COSTOUNIMED DOUBLE PRECISION)
AS
DECLARE VARIABLE INUMERAZ INTEGER;
DECLARE VARIABLE IIVAINCLUSA INTEGER;
DECLARE VARIABLE IDWGFACID INTEGER;
DECLARE VARIABLE DGIORNO DATE;
DECLARE VARIABLE FFATTORE DOUBLE PRECISION;
DECLARE VARIABLE FCARICATO DOUBLE PRECISION;
DECLARE VARIABLE FSCARICATO DOUBLE PRECISION;
DECLARE VARIABLE FVALORE DOUBLE PRECISION;
BEGIN
  DGIORNO = CAST(DDATA AS DATE);
  IF (ISECID = -1) THEN
    ISECID = NULL;

  SELECT fac.IFACNUMERAZ, fac.IFACIVAINCLUSA, dfa.IDWGFACID
    FROM TDWGFACANF dfa
    INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID
    INNER JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID
   WHERE dfa.IDWGFACANFID = :IDWGFACANFID
    INTO :INUMERAZ, :IIVAINCLUSA, :IDWGFACID;

  FFATTORE = FKVA_FATTOREUNITA(:IFARID);

  -- Rows by article, voucher by key; the register-years of the school register are looked up only
  -- when the scope spans them. The rows are summed per VAT rate first and the few rates read after:
  -- a rate read for every row would cost a fifth of the whole sum.
  SELECT SUM(r.FCARICATO), SUM(r.FSCARICATO),
         SUM(r.FVALORE * IIF(:IIVAINCLUSA = 1, 1, 1 + COALESCE(alv.FALVIVA, 0) / 100))
    FROM (SELECT afc.IALVID,
                 SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA, 0)) AS FCARICATO,
                 SUM(IIF(buo.IFBUOTIPO = 1, afc.FAFCQUANTITA, 0)) AS FSCARICATO,
                 SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA * COALESCE(afc.FAFCCOSTOUNIT, 0), 0)) AS FVALORE
            FROM TAFC_ARTVELIST afc
            INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
           WHERE afc.IFARID = :IFARID
             AND buo.DFBUODATA <= :DGIORNO
             AND ((:INUMERAZ = 1 AND buo.IDWGFACANFID = :IDWGFACANFID)
                  OR (:INUMERAZ IS DISTINCT FROM 1
                      AND EXISTS (SELECT 1 FROM TDWGFACANF dfa
                                   WHERE dfa.IDWGFACANFID = buo.IDWGFACANFID AND dfa.IDWGFACID = :IDWGFACID)))
             AND (:ISECID IS NULL OR afc.ISECID = :ISECID)
           GROUP BY afc.IALVID) r
    LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = r.IALVID
    INTO :FCARICATO, :FSCARICATO, :FVALORE;

  GIACENZA = ROUND(COALESCE(FCARICATO, 0) - COALESCE(FSCARICATO, 0) / FFATTORE, 6);
  -- Loads that sum to no quantity (a load and its correction) give no average either.
  IF (COALESCE(FCARICATO, 0) = 0) THEN
    COSTOUNIMED = 0;
  ELSE
    COSTOUNIMED = FVALORE / FCARICATO;
  SUSPEND;
END^

-- 1 when, after a proposed change, the article's stock in the scope of the register-year (all
-- sectors, all dates, the rows of each day taken together) would fall below zero on some day;
-- else 0. The change:
--   - a row id (IAFCID above 0): that row's quantity becomes FQUANTITA (NULL or 0: the row is gone);
--   - else an unloading voucher (IBUOID_SCA above 0) and a quantity: a new unloading row of that
--     quantity, in unloading measures, on that voucher's date;
--   - else nothing: the data as they stand (after a trial write in the caller's transaction).
-- The callers pass -1 for "no row" and "no voucher".
CREATE OR ALTER PROCEDURE PKVA_CONTROLLAGIAC (IFARID INTEGER, IAFCID INTEGER, FQUANTITA DOUBLE PRECISION,
                                     IBUOID_SCA INTEGER, IDWGFACANFID INTEGER)
RETURNS (CONTROLLO INTEGER)
AS
DECLARE VARIABLE INUMERAZ INTEGER;
DECLARE VARIABLE IDWGFACID INTEGER;
DECLARE VARIABLE FFATTORE DOUBLE PRECISION;
DECLARE VARIABLE FNUOVA DOUBLE PRECISION;
DECLARE VARIABLE DNUOVA DATE;
DECLARE VARIABLE DGIORNO DATE;
DECLARE VARIABLE FGIORNO DOUBLE PRECISION;
DECLARE VARIABLE FGIACENZA DOUBLE PRECISION;
BEGIN
  CONTROLLO = 0;
  IF (IAFCID <= 0) THEN
    IAFCID = NULL;
  IF (IBUOID_SCA <= 0) THEN
    IBUOID_SCA = NULL;
  FNUOVA = COALESCE(FQUANTITA, 0);
  -- A new unloading row only when no existing row is changed.
  IF (IAFCID IS NULL AND IBUOID_SCA IS NOT NULL AND FQUANTITA IS NOT NULL) THEN
    SELECT DFBUODATA FROM TFBUO_BUONI WHERE IFBUOID = :IBUOID_SCA INTO :DNUOVA;

  SELECT fac.IFACNUMERAZ, dfa.IDWGFACID
    FROM TDWGFACANF dfa
    INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID
    INNER JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID
   WHERE dfa.IDWGFACANFID = :IDWGFACANFID
    INTO :INUMERAZ, :IDWGFACID;

  FFATTORE = FKVA_FATTOREUNITA(:IFARID);

  -- The rows are summed per day first; the walk then runs over days, in date order, and stops at
  -- the first day below zero.
  FGIACENZA = 0;
  FOR SELECT mov.DGIORNO, SUM(mov.FDELTA)
        FROM (SELECT buo.DFBUODATA AS DGIORNO,
                     IIF(afc.IAFCID = :IAFCID, :FNUOVA, COALESCE(afc.FAFCQUANTITA, 0))
                     * IIF(buo.IFBUOTIPO = 0, 1, -1 / :FFATTORE) AS FDELTA
                FROM TAFC_ARTVELIST afc
                INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
               WHERE afc.IFARID = :IFARID
                 AND buo.DFBUODATA IS NOT NULL
                 AND ((:INUMERAZ = 1 AND buo.IDWGFACANFID = :IDWGFACANFID)
                      OR (:INUMERAZ IS DISTINCT FROM 1
                          AND EXISTS (SELECT 1 FROM TDWGFACANF dfa
                                       WHERE dfa.IDWGFACANFID = buo.IDWGFACANFID AND dfa.IDWGFACID = :IDWGFACID)))
              UNION ALL
              SELECT :DNUOVA, -:FNUOVA / :FFATTORE
                FROM RDB$DATABASE
               WHERE :DNUOVA IS NOT NULL) mov
       GROUP BY mov.DGIORNO
       ORDER BY mov.DGIORNO
        INTO :DGIORNO, :FGIORNO
  DO
  BEGIN
    FGIACENZA = FGIACENZA + FGIORNO;
    IF (ROUND(FGIACENZA, 6) < 0) THEN
    BEGIN
      CONTROLLO = 1;
      LEAVE;
    END
  END
  SUSPEND;
END^

SET TERM ; ^
