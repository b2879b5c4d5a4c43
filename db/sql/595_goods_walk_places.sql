-- The goods list's keys in its order, each with its place in the walk.
--
-- The list joins a screen of keys to the goods' view, a wide row each. Sorted again by the engine,
-- those rows cost several times their reading (a screen read to the end, 5,000 rows at a time, spent
-- three quarters of its time sorting them): with its place beside each key, the list puts the rows in
-- the walk's order itself.

SET TERM ^ ;

CREATE OR ALTER PROCEDURE PKVB_BENIINORDINE (IFACID INTEGER, IDOPO SMALLINT, DDATA TYPE OF COLUMN TBBUO_BUONI.DBBUODATA,
                                    INUMERO TYPE OF COLUMN TBINB_BENI.IBINBNUMERO,
                                    SCODICE TYPE OF COLUMN TBINB_BENI.SBINBCODNUMERO,
                                    IBINBID TYPE OF COLUMN TBINB_BENI.IBINBID)
RETURNS (VO_KEY INTEGER, VO_PLACE INTEGER)
AS
DECLARE VARIABLE DGIORNO TYPE OF COLUMN TBBUO_BUONI.DBBUODATA;
DECLARE VARIABLE DPRIMA TYPE OF COLUMN TBBUO_BUONI.DBBUODATA;
DECLARE VARIABLE BPRIMO SMALLINT;
DECLARE VARIABLE INUM TYPE OF COLUMN TBINB_BENI.IBINBNUMERO;
DECLARE VARIABLE SCOD TYPE OF COLUMN TBINB_BENI.SBINBCODNUMERO;
BEGIN
  VO_PLACE = 0;
  BPRIMO = 1;
  FOR SELECT buo.DBBUODATA
        FROM TBBUO_BUONI buo
       WHERE buo.IDWGFACANFID IN (SELECT dia.IDWGFACANFID FROM TDWGFACANF dia
                                   INNER JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID
                                   WHERE di.IFACID = :IFACID)
         AND (:IDOPO = 0 OR :DDATA IS NULL OR buo.DBBUODATA >= :DDATA)
       ORDER BY buo.DBBUODATA
        INTO :DGIORNO
  DO
  BEGIN
    -- Vouchers of one date give that date's goods once.
    IF (BPRIMO = 1 OR DGIORNO IS DISTINCT FROM DPRIMA) THEN
    BEGIN
      BPRIMO = 0;
      DPRIMA = DGIORNO;
      FOR SELECT inb.IBINBID, inb.IBINBNUMERO, inb.SBINBCODNUMERO
            FROM TBBUO_BUONI buo
            INNER JOIN TBINB_BENI inb ON inb.IBBUOID = buo.IBBUOID
           WHERE buo.DBBUODATA IS NOT DISTINCT FROM :DGIORNO
             AND buo.IDWGFACANFID IN (SELECT dia.IDWGFACANFID FROM TDWGFACANF dia
                                       INNER JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID
                                       WHERE di.IFACID = :IFACID)
           ORDER BY inb.IBINBNUMERO, inb.SBINBCODNUMERO, inb.IBINBID
            INTO :VO_KEY, :INUM, :SCOD
      DO
      BEGIN
        IF (IDOPO = 0 OR DGIORNO IS DISTINCT FROM DDATA
            OR INUM > INUMERO OR (INUM IS NOT NULL AND INUMERO IS NULL)
            OR (INUM IS NOT DISTINCT FROM INUMERO
                AND (SCOD > SCODICE OR (SCOD IS NOT NULL AND SCODICE IS NULL)
                     OR (SCOD IS NOT DISTINCT FROM SCODICE AND VO_KEY > IBINBID)))) THEN
        BEGIN
          VO_PLACE = VO_PLACE + 1;
          SUSPEND;
        END
      END
    END
  END
END^

SET TERM ; ^
