-- The year closing's carrying over of the stock in one pass over the register-year. The stock of every
-- article comes from PKVA_GETGIACENZE, which gives, from the same read of the rows, the key of each
-- article's first loading row counted; the note carried is read from that row by key. Looking the
-- note up article by article, or reading the year's loading rows again for it, and counting the
-- articles in stock beforehand with a pass of its own, cost as much as the rest together.
--
-- The rows written are the same as before: for every article with stock above zero at the date, in
-- article order, a row on the opening voucher of the next year (the stock at the average cost, its
-- VAT taken out again when the register loads without it, at the article's VAT rate) and a row on
-- the closing voucher (the whole stock in unloading measures at its value per unloading measure),
-- both with the note of the article's first loading row of the register-year by key, whatever its
-- date; keys from IPRIMOID on, two per article carried. All of them carry the moment of the closing
-- as their insertion time.

SET TERM ^ ;

-- As before, and IPRIMOCARICO: the key of the article's first loading row among the rows counted.
CREATE OR ALTER PROCEDURE PKVA_GETGIACENZE (DDATA TIMESTAMP, IDWGFACANFID INTEGER, ISECID INTEGER)
RETURNS (IFARID INTEGER, GIACENZA DOUBLE PRECISION, COSTOUNIMED DOUBLE PRECISION, IPRIMOCARICO INTEGER)
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
DECLARE VARIABLE IPRIMOGRUPPO INTEGER;
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
  FOR SELECT g.IFARID, g.FCARICATO, g.FSCARICATO, g.FVALORE, g.IPRIMO
        FROM (SELECT r.IFARID, r.IALVID, r.FCARICATO, r.FSCARICATO, r.IPRIMO,
                     r.FVALORE * IIF(:IIVAINCLUSA = 1, 1, 1 + COALESCE(alv.FALVIVA, 0) / 100) AS FVALORE,
                     0 AS IULTIMA
              FROM (SELECT afc.IFARID, afc.IALVID,
                           SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA, 0)) AS FCARICATO,
                           SUM(IIF(buo.IFBUOTIPO = 1, afc.FAFCQUANTITA, 0)) AS FSCARICATO,
                           SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA * COALESCE(afc.FAFCCOSTOUNIT, 0), 0)) AS FVALORE,
                           MIN(IIF(buo.IFBUOTIPO = 0, afc.IAFCID, NULL)) AS IPRIMO
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
              SELECT NULL, NULL, NULL, NULL, NULL, NULL, 1 FROM RDB$DATABASE) g
       ORDER BY g.IULTIMA, g.IFARID, g.IALVID NULLS FIRST
        INTO :IGRUPPO, :FCARGRUPPO, :FSCAGRUPPO, :FVALGRUPPO, :IPRIMOGRUPPO
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
      IPRIMOCARICO = NULL;
    END
    -- As SUM does: NULLs are left out, a total of nothing stays NULL.
    IF (FCARGRUPPO IS NOT NULL) THEN
      FCARICATO = COALESCE(FCARICATO + FCARGRUPPO, FCARGRUPPO);
    IF (FSCAGRUPPO IS NOT NULL) THEN
      FSCARICATO = COALESCE(FSCARICATO + FSCAGRUPPO, FSCAGRUPPO);
    IF (FVALGRUPPO IS NOT NULL) THEN
      FVALORE = COALESCE(FVALORE + FVALGRUPPO, FVALGRUPPO);
    IF (IPRIMOGRUPPO < IPRIMOCARICO OR IPRIMOCARICO IS NULL) THEN
      IPRIMOCARICO = IPRIMOGRUPPO;
  END
END^

-- One result row per article with rows up to the date (IFARID, and ICARRIED 1 when it was carried),
-- once its rows are written, so that the caller can show how far it is among the articles moved in
-- the year and stop in the middle (its transaction then rolled back). The caller draws a key pair for
-- every article moved in the year, since they are known before the stock is.
CREATE OR ALTER PROCEDURE PKVA_RIPORTAGIACENZE (IDWGFACANFID INTEGER, DDATA TIMESTAMP, IBUOCHIUSURA INTEGER,
                                                IBUOAPERTURA INTEGER, IIVAINCLUSA INTEGER, IPRIMOID INTEGER)
RETURNS (IFARID INTEGER, ICARRIED INTEGER)
AS
DECLARE VARIABLE FGIACENZA DOUBLE PRECISION;
DECLARE VARIABLE FCOSTO DOUBLE PRECISION;
DECLARE VARIABLE FFATTORE DOUBLE PRECISION;
DECLARE VARIABLE FIVA DOUBLE PRECISION;
DECLARE VARIABLE IALVID INTEGER;
DECLARE VARIABLE BNOTE BLOB SUB_TYPE TEXT;
DECLARE VARIABLE INUMERAZ INTEGER;
DECLARE VARIABLE IPRIMA INTEGER;
DECLARE VARIABLE ITARDI INTEGER;
DECLARE VARIABLE ITARDA INTEGER;
DECLARE VARIABLE DORA TIMESTAMP;
-- The first loading row of each article among the vouchers of the year that the stock leaves out,
-- dated past the date or not at all (there are seldom any), in article order.
DECLARE C_TARDI CURSOR FOR (
  SELECT afc.IFARID, MIN(afc.IAFCID) AS IAFCID
    FROM TFBUO_BUONI buo
    INNER JOIN TAFC_ARTVELIST afc ON afc.IFBUOID = buo.IFBUOID
   WHERE buo.IDWGFACANFID = :IDWGFACANFID AND buo.IFBUOTIPO = 0
     AND (buo.DFBUODATA IS NULL OR buo.DFBUODATA > CAST(:DDATA AS DATE)) AND afc.IFARID IS NOT NULL
   GROUP BY afc.IFARID
   ORDER BY afc.IFARID);
BEGIN
  SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP INTO :DORA;
  -- A register numbered per year counts the rows of this year alone: the first loading row counted is
  -- then the year's first but for the ones the stock leaves out.
  SELECT fac.IFACNUMERAZ
    FROM TDWGFACANF dfa
    INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID
    INNER JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID
   WHERE dfa.IDWGFACANFID = :IDWGFACANFID
    INTO :INUMERAZ;
  OPEN C_TARDI;
  FETCH C_TARDI INTO :ITARDI, :ITARDA;
  IF (ROW_COUNT = 0) THEN
    ITARDI = NULL;
  FOR SELECT g.IFARID, g.GIACENZA, g.COSTOUNIMED, g.IPRIMOCARICO, COALESCE(NULLIF(unm.FUNMFATTOREPROP, 0), 1),
             far.IALVID, COALESCE(alv.FALVIVA, 0)
        FROM PKVA_GETGIACENZE(:DDATA, :IDWGFACANFID, -1) g
        INNER JOIN TFAR_FACARTICOLI far ON far.IFARID = g.IFARID
        LEFT JOIN TUNM_UNITAMISURA unm ON unm.IUNMID = far.IUNMID
        LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = far.IALVID
       ORDER BY g.IFARID
        INTO :IFARID, :FGIACENZA, :FCOSTO, :IPRIMA, :FFATTORE, :IALVID, :FIVA
  DO
  BEGIN
    ICARRIED = 0;
    IF (FGIACENZA > 0) THEN
    BEGIN
      IF (INUMERAZ IS DISTINCT FROM 1) THEN
      BEGIN
        -- The rows counted span the years: the year's first loading row looked up on its own.
        IPRIMA = NULL;
        SELECT FIRST 1 afc.IAFCID
          FROM TAFC_ARTVELIST afc
          INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
         WHERE afc.IFARID = :IFARID AND buo.IFBUOTIPO = 0 AND buo.IDWGFACANFID = :IDWGFACANFID
         ORDER BY afc.IAFCID + 0
          INTO :IPRIMA;
      END
      WHILE (ITARDI < IFARID) DO
      BEGIN
        FETCH C_TARDI INTO :ITARDI, :ITARDA;
        IF (ROW_COUNT = 0) THEN
          ITARDI = NULL;
      END
      IF (ITARDI = IFARID AND (ITARDA < IPRIMA OR IPRIMA IS NULL)) THEN
        IPRIMA = ITARDA;
      BNOTE = NULL;
      SELECT BAFCNOTE FROM TAFC_ARTVELIST WHERE IAFCID = :IPRIMA INTO :BNOTE;
      INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, DINSERT, FAFCQUANTITA, FAFCCOSTOUNIT, BAFCNOTE, IFARID, IALVID)
      VALUES (:IPRIMOID, :IBUOAPERTURA, :DORA, :FGIACENZA,
              IIF(:IIVAINCLUSA = 1, :FCOSTO, :FCOSTO / (:FIVA / 100 + 1)), :BNOTE, :IFARID, :IALVID);
      INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, DINSERT, FAFCQUANTITA, FAFCCOSTOUNIT, BAFCNOTE, IFARID, IALVID)
      VALUES (:IPRIMOID + 1, :IBUOCHIUSURA, :DORA, :FGIACENZA * :FFATTORE, :FCOSTO / :FFATTORE,
              :BNOTE, :IFARID, NULL);
      IPRIMOID = IPRIMOID + 2;
      ICARRIED = 1;
    END
    SUSPEND;
  END
  CLOSE C_TARDI;
END^

SET TERM ; ^
