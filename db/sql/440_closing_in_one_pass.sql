-- The year closing's carrying over of the stock in one pass over the register-year: the stock of
-- every article is read once from PKVA_GETGIACENZE, the notes to carry from one grouped read of the
-- year's loading rows, and the rows written as the stock comes. Looking the note up article by article,
-- and counting the articles in stock beforehand with a pass of its own, cost as much as the rest.
--
-- The rows written are the same as before: for every article with stock above zero at the date, in
-- article order, a row on the opening voucher of the next year (the stock at the average cost, its
-- VAT taken out again when the register loads without it, at the article's VAT rate) and a row on
-- the closing voucher (the whole stock in unloading measures at its value per unloading measure),
-- both with the note of the article's first loading row of the year, keys from IPRIMOID on, two per
-- article carried. All of them carry the moment of the closing as their insertion time.
--
-- One result row per article with rows up to the date (IFARID, and ICARRIED 1 when it was carried),
-- once its rows are written, so that the caller can show how far it is among the articles moved in
-- the year and stop in the middle (its transaction then rolled back). The caller draws a key pair for
-- every article moved in the year, since they are known before the stock is.

SET TERM ^ ;

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
DECLARE VARIABLE INOTA INTEGER;
DECLARE VARIABLE BNOTA BLOB SUB_TYPE TEXT;
DECLARE VARIABLE DORA TIMESTAMP;
-- The note of each article's first loading row of the year (by key), in article order.
DECLARE C_NOTE CURSOR FOR (
  SELECT f.IFARID, n.BAFCNOTE
    FROM (SELECT afc.IFARID, MIN(afc.IAFCID) AS IAFCID
            FROM TFBUO_BUONI buo
            INNER JOIN TAFC_ARTVELIST afc ON afc.IFBUOID = buo.IFBUOID
           WHERE buo.IDWGFACANFID = :IDWGFACANFID AND buo.IFBUOTIPO = 0 AND afc.IFARID IS NOT NULL
           GROUP BY afc.IFARID) f
    INNER JOIN TAFC_ARTVELIST n ON n.IAFCID = f.IAFCID
   ORDER BY f.IFARID);
BEGIN
  SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP INTO :DORA;
  OPEN C_NOTE;
  FETCH C_NOTE INTO :INOTA, :BNOTA;
  IF (ROW_COUNT = 0) THEN
    INOTA = NULL;
  FOR SELECT g.IFARID, g.GIACENZA, g.COSTOUNIMED, COALESCE(NULLIF(unm.FUNMFATTOREPROP, 0), 1), far.IALVID,
             COALESCE(alv.FALVIVA, 0)
        FROM PKVA_GETGIACENZE(:DDATA, :IDWGFACANFID, -1) g
        INNER JOIN TFAR_FACARTICOLI far ON far.IFARID = g.IFARID
        LEFT JOIN TUNM_UNITAMISURA unm ON unm.IUNMID = far.IUNMID
        LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = far.IALVID
       ORDER BY g.IFARID
        INTO :IFARID, :FGIACENZA, :FCOSTO, :FFATTORE, :IALVID, :FIVA
  DO
  BEGIN
    ICARRIED = 0;
    IF (FGIACENZA > 0) THEN
    BEGIN
      WHILE (INOTA < IFARID) DO
      BEGIN
        FETCH C_NOTE INTO :INOTA, :BNOTA;
        IF (ROW_COUNT = 0) THEN
          INOTA = NULL;
      END
      BNOTE = NULL;
      IF (INOTA = IFARID) THEN
        BNOTE = BNOTA;
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
  CLOSE C_NOTE;
END^

SET TERM ; ^
