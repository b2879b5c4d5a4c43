-- Stock on hand and average cost of every article in one pass, for the windows and jobs that need
-- them for all articles at once (the articles an unloading row may take, the year closing, the stock
-- reports). Asking PKVA_GETGIACENZA once per article looks up the scope and walks the article's index
-- once per article; here the rows of the scope are read once and summed per article.
--
-- The numbers are PKVA_GETGIACENZA's to the last bit, since sums of doubles depend on their order:
-- the rows are read from the rows table alone (the voucher looked up by key), so that each article's
-- rows come in the order of the article's index there, and are summed per article and VAT rate as
-- there; the rate groups are taken in the same order (no rate first, then by rate), and the
-- article's totals built from them one group at a time, as the procedure's outer sum builds them.

SET TERM ^ ;

-- One row per article that has a row in the scope of the register-year up to the date (compared by
-- day), over one sector or all of them (-1 or NULL), in article order: GIACENZA and COSTOUNIMED as
-- PKVA_GETGIACENZA gives them for that article. An article without such rows has no row here;
-- PKVA_GETGIACENZA gives it 0 and 0.
CREATE PROCEDURE PKVA_GETGIACENZE (DDATA TIMESTAMP, IDWGFACANFID INTEGER, ISECID INTEGER)
RETURNS (IFARID INTEGER, GIACENZA DOUBLE PRECISION, COSTOUNIMED DOUBLE PRECISION)
AS
DECLARE VARIABLE INUMERAZ INTEGER;
DECLARE VARIABLE IIVAINCLUSA INTEGER;
DECLARE VARIABLE IDWGFACID INTEGER;
DECLARE VARIABLE DGIORNO DATE;
DECLARE VARIABLE IGRUPPO INTEGER;
DECLARE VARIABLE FCARGRUPPO DOUBLE PRECISION;
DECLARE VARIABLE FSCAGRUPPO DOUBLE PRECISION;
DECLARE VARIABLE FVALGRUPPO DOUBLE PRECISION;
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

  IFARID = NULL;
  -- The groups of each article in a row, and after the last one a row of NULLs that closes it.
  FOR SELECT g.IFARID, g.FCARICATO, g.FSCARICATO, g.FVALORE
        FROM (SELECT r.IFARID, r.IALVID, r.FCARICATO, r.FSCARICATO,
                     r.FVALORE * IIF(:IIVAINCLUSA = 1, 1, 1 + COALESCE(alv.FALVIVA, 0) / 100) AS FVALORE,
                     0 AS IULTIMA
              FROM (SELECT afc.IFARID, afc.IALVID,
                           SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA, 0)) AS FCARICATO,
                           SUM(IIF(buo.IFBUOTIPO = 1, afc.FAFCQUANTITA, 0)) AS FSCARICATO,
                           SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA * COALESCE(afc.FAFCCOSTOUNIT, 0), 0)) AS FVALORE
                      FROM TAFC_ARTVELIST afc
                      INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
                     WHERE buo.DFBUODATA <= :DGIORNO
                       AND ((:INUMERAZ = 1 AND buo.IDWGFACANFID = :IDWGFACANFID)
                            OR (:INUMERAZ IS DISTINCT FROM 1
                                AND EXISTS (SELECT 1 FROM TDWGFACANF dfa
                                             WHERE dfa.IDWGFACANFID = buo.IDWGFACANFID AND dfa.IDWGFACID = :IDWGFACID)))
                       AND (:ISECID IS NULL OR afc.ISECID = :ISECID)
                       AND afc.IFARID IS NOT NULL
                     GROUP BY afc.IFARID, afc.IALVID) r
              LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = r.IALVID
              UNION ALL
              SELECT NULL, NULL, NULL, NULL, NULL, 1 FROM RDB$DATABASE) g
       ORDER BY g.IULTIMA, g.IFARID, g.IALVID NULLS FIRST
        INTO :IGRUPPO, :FCARGRUPPO, :FSCAGRUPPO, :FVALGRUPPO
  DO
  BEGIN
    IF (IFARID IS DISTINCT FROM IGRUPPO) THEN
    BEGIN
      IF (IFARID IS NOT NULL) THEN
      BEGIN
        GIACENZA = ROUND(COALESCE(FCARICATO, 0) - COALESCE(FSCARICATO, 0) / FKVA_FATTOREUNITA(:IFARID), 6);
        IF (COALESCE(FCARICATO, 0) = 0) THEN
          COSTOUNIMED = 0;
        ELSE
          COSTOUNIMED = FVALORE / FCARICATO;
        SUSPEND;
      END
      IFARID = IGRUPPO;
      FCARICATO = NULL;
      FSCARICATO = NULL;
      FVALORE = NULL;
    END
    -- As SUM does: NULLs are left out, a total of nothing stays NULL.
    IF (FCARGRUPPO IS NOT NULL) THEN
      FCARICATO = COALESCE(FCARICATO + FCARGRUPPO, FCARGRUPPO);
    IF (FSCAGRUPPO IS NOT NULL) THEN
      FSCARICATO = COALESCE(FSCARICATO + FSCAGRUPPO, FSCAGRUPPO);
    IF (FVALGRUPPO IS NOT NULL) THEN
      FVALORE = COALESCE(FVALORE + FVALGRUPPO, FVALGRUPPO);
  END
END^

-- The year closing's carrying over of the stock of a register-year numbered per year: for every
-- article with stock above zero at the date, in article order, a row on the opening voucher of the
-- next year (the stock at the average cost, its VAT taken out again when the register loads without
-- it, at the article's VAT rate, so that the next year starts at the same average) and a row on the
-- closing voucher (the whole stock in unloading measures at its value per unloading measure), both
-- with the note of the article's first loading row of the year. The rows take the keys from
-- IPRIMOID on, two per article in article order (the caller draws them at once: drawing them one by
-- one would cost as much as the rest). One row per article carried, once its rows are written, so
-- that the caller can show how far it is and stop in the middle (its transaction then rolled back).
CREATE PROCEDURE PKVA_RIPORTAGIACENZE (IDWGFACANFID INTEGER, DDATA TIMESTAMP, IBUOCHIUSURA INTEGER,
                                       IBUOAPERTURA INTEGER, IIVAINCLUSA INTEGER, IPRIMOID INTEGER)
RETURNS (IFARID INTEGER)
AS
DECLARE VARIABLE FGIACENZA DOUBLE PRECISION;
DECLARE VARIABLE FCOSTO DOUBLE PRECISION;
DECLARE VARIABLE FFATTORE DOUBLE PRECISION;
DECLARE VARIABLE FIVA DOUBLE PRECISION;
DECLARE VARIABLE IALVID INTEGER;
DECLARE VARIABLE BNOTE BLOB SUB_TYPE TEXT;
BEGIN
  FOR SELECT g.IFARID, g.GIACENZA, g.COSTOUNIMED, FKVA_FATTOREUNITA(g.IFARID), far.IALVID,
             COALESCE(alv.FALVIVA, 0)
        FROM PKVA_GETGIACENZE(:DDATA, :IDWGFACANFID, -1) g
        INNER JOIN TFAR_FACARTICOLI far ON far.IFARID = g.IFARID
        LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = far.IALVID
       WHERE g.GIACENZA > 0
        INTO :IFARID, :FGIACENZA, :FCOSTO, :FFATTORE, :IALVID, :FIVA
  DO
  BEGIN
    -- The article's few rows sorted: ordered by the key as it stands, the server would walk the key's
    -- index through the whole table.
    BNOTE = NULL;
    SELECT FIRST 1 afc.BAFCNOTE
      FROM TAFC_ARTVELIST afc
      INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
     WHERE afc.IFARID = :IFARID AND buo.IFBUOTIPO = 0 AND buo.IDWGFACANFID = :IDWGFACANFID
     ORDER BY afc.IAFCID + 0
      INTO :BNOTE;
    INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, DINSERT, FAFCQUANTITA, FAFCCOSTOUNIT, BAFCNOTE, IFARID, IALVID)
    VALUES (:IPRIMOID, :IBUOAPERTURA,
            (SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP), :FGIACENZA,
            IIF(:IIVAINCLUSA = 1, :FCOSTO, :FCOSTO / (:FIVA / 100 + 1)), :BNOTE, :IFARID, :IALVID);
    INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, DINSERT, FAFCQUANTITA, FAFCCOSTOUNIT, BAFCNOTE, IFARID, IALVID)
    VALUES (:IPRIMOID + 1, :IBUOCHIUSURA,
            (SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP), :FGIACENZA * :FFATTORE, :FCOSTO / :FFATTORE,
            :BNOTE, :IFARID, NULL);
    IPRIMOID = IPRIMOID + 2;
    SUSPEND;
  END
END^

SET TERM ; ^
