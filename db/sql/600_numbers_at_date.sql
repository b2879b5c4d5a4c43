-- A durable good's inventory number at a date is the one it had on that date: a renumbering holds from
-- its own date, and the number history keeps each number before it with the date the renumbering
-- ended it. The register at a date, the movements a closing or its verification lists up to a date
-- and the books in charge at a date all print the numbers of that date, by this one rule.
SET TERM ^ ;

-- The number and sub-code of a good at a date, given those it has now (a NULL date: as it stands):
-- the period of the history that the first renumbering after the date ended, or, with none after the
-- date, the good's own.
CREATE PROCEDURE PKVB_NUMEROALLADATA (IBINBID INTEGER, DDATA DATE,
                                      INUMERO TYPE OF COLUMN TBINB_BENI.IBINBNUMERO,
                                      SCODICE TYPE OF COLUMN TBINB_BENI.SBINBCODNUMERO)
RETURNS (IBINBNUMERO TYPE OF COLUMN TBINB_BENI.IBINBNUMERO,
         SBINBCODNUMERO TYPE OF COLUMN TBINB_BENI.SBINBCODNUMERO)
AS
BEGIN
  IBINBNUMERO = INUMERO;
  SBINBCODNUMERO = SCODICE;
  IF (DDATA IS NOT NULL) THEN
    SELECT FIRST 1 IBBNUNUMERO, SBBNUCODNUMERO FROM TBBNU_BENINUMERI
     WHERE IBINBID = :IBINBID AND DEND > :DDATA
     ORDER BY DEND, IBBNUID
      INTO :IBINBNUMERO, :SBINBCODNUMERO;
  SUSPEND;
END^

-- The lines of the register at a date, as before, the number and sub-code by the rule above.
CREATE OR ALTER PROCEDURE PKVB_REGISTROBENI (IFACID INTEGER, DDATA DATE)
RETURNS (IBINBID INTEGER, ICAMID INTEGER, ISECID INTEGER, IBINBIMPORTO BIGINT, ISCARICATO SMALLINT,
         IBINBNUMERO INTEGER, SBINBCODNUMERO VARCHAR(10))
AS
BEGIN
  FOR SELECT inb.IBINBID, inb.ICAMID, inb.ISECID, inb.IBINBIMPORTO,
             IIF(sca.IBBUOID IS NULL OR (:DDATA IS NOT NULL AND sca.DBBUODATA > :DDATA), 0, 1),
             inb.IBINBNUMERO, inb.SBINBCODNUMERO
        FROM TDWGFAC df
        INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACID = df.IDWGFACID
        INNER JOIN TBBUO_BUONI buo ON buo.IDWGFACANFID = dfa.IDWGFACANFID
        INNER JOIN TBINB_BENI inb ON inb.IBBUOID = buo.IBBUOID
        LEFT JOIN TBBUO_BUONI sca ON sca.IBBUOID = inb.IBBUOIDSCARICO
       WHERE df.IFACID = :IFACID
         AND (:DDATA IS NULL OR buo.DBBUODATA <= :DDATA)
         AND (sca.IBBUOID IS NULL OR (:DDATA IS NOT NULL AND sca.DBBUODATA > :DDATA)
              OR inb.IBINBFUORIREGISTRO = 0)
        INTO :IBINBID, :ICAMID, :ISECID, :IBINBIMPORTO, :ISCARICATO, :IBINBNUMERO, :SBINBCODNUMERO
  DO
  BEGIN
    IF (DDATA IS NOT NULL) THEN
    BEGIN
      IF (ISCARICATO = 0) THEN
        IBINBIMPORTO = FKVB_IMPORTOALLADATA(:IBINBID, :DDATA);
      SELECT IBINBNUMERO, SBINBCODNUMERO
        FROM PKVB_NUMEROALLADATA(:IBINBID, :DDATA, :IBINBNUMERO, :SBINBCODNUMERO)
        INTO :IBINBNUMERO, :SBINBCODNUMERO;
    END
    SUSPEND;
  END
END^

SET TERM ; ^
