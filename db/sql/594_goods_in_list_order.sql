-- The goods of a register in the goods list's own order (loading voucher's date, number, number's
-- sub-code, key), read by walking the vouchers' date index and each date's goods by number.
--
-- Sorted by the engine, the list's keys cost a sort of every good of the register for each screen:
-- the order's columns lie in two tables, so no index gives it. Walked here, a screen reads about the
-- goods it shows: the dates in order, and the few goods of each date sorted among themselves.
--
-- IDOPO 0 starts at the first good; IDOPO 1 starts after the good whose date, number, sub-code and
-- key are given, so that the next screen costs what it shows and not what comes before it. Empty
-- values (a voucher without date, a good without number or sub-code) come first, as in the list.

SET TERM ^ ;

CREATE PROCEDURE PKVB_BENIINORDINE (IFACID INTEGER, IDOPO SMALLINT, DDATA TYPE OF COLUMN TBBUO_BUONI.DBBUODATA,
                                    INUMERO TYPE OF COLUMN TBINB_BENI.IBINBNUMERO,
                                    SCODICE TYPE OF COLUMN TBINB_BENI.SBINBCODNUMERO,
                                    IBINBID TYPE OF COLUMN TBINB_BENI.IBINBID)
RETURNS (VO_KEY INTEGER)
AS
DECLARE VARIABLE DGIORNO TYPE OF COLUMN TBBUO_BUONI.DBBUODATA;
DECLARE VARIABLE DPRIMA TYPE OF COLUMN TBBUO_BUONI.DBBUODATA;
DECLARE VARIABLE BPRIMO SMALLINT;
DECLARE VARIABLE INUM TYPE OF COLUMN TBINB_BENI.IBINBNUMERO;
DECLARE VARIABLE SCOD TYPE OF COLUMN TBINB_BENI.SBINBCODNUMERO;
BEGIN
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
          SUSPEND;
      END
    END
  END
END^

SET TERM ; ^
