-- What the bulk data replacement of the durable goods needs of the server.
--
-- PYGETID (table name) answers the last key that PYSETGETID handed out for that table in the
-- caller's transaction (NULL before any), so that a definition's statements can link goods to the
-- vouchers the replacement has just made. The key is kept in a context variable of the transaction:
-- keys another program draws meanwhile, in transactions of its own, do not change the answer.
--
-- PKVB_SOSTSEDE gives a good a new site, and its site history a new period, when the good is the one
-- named and holds the old site (any site when IANY is 1; a NULL old site stands for goods without one).

SET TERM ^ ;

ALTER PROCEDURE PYSETGETID (STABLE VARCHAR(63), ICOUNT INTEGER)
RETURNS (L_ICNTID INTEGER)
AS
DECLARE VARIABLE SKEY VARCHAR(63);
DECLARE VARIABLE SGEN VARCHAR(63);
DECLARE VARIABLE ISTEP INTEGER;
DECLARE VARIABLE ILAST BIGINT;
DECLARE VARIABLE ISET INTEGER;
BEGIN
  SKEY = UPPER(TRIM(REPLACE(COALESCE(STABLE, ''), '"', '')));
  IF (SKEY = '') THEN
    EXCEPTION EPY_NOTABLE;
  SGEN = 'GID_' || SKEY;
  IF (CHAR_LENGTH(SGEN) > 31) THEN
    SGEN = LEFT(SGEN, 20) || '_' || ABS(MOD(HASH(SKEY), 1000000000));
  ISTEP = COALESCE(ICOUNT, 1);
  IF (ISTEP < 1) THEN
    ISTEP = 1;
  IF (EXISTS (SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = :SGEN)) THEN
    EXECUTE STATEMENT 'SELECT GEN_ID("' || SGEN || '", ' || ISTEP || ') FROM RDB$DATABASE' INTO :ILAST;
  ELSE
  BEGIN
    -- First key of this table: make its generator in a transaction of its own, so that it is
    -- visible to everybody at once. Another connection may have made it meanwhile.
    BEGIN
      EXECUTE STATEMENT 'CREATE SEQUENCE "' || SGEN || '"' WITH AUTONOMOUS TRANSACTION;
      WHEN ANY DO
      BEGIN
      END
    END
    EXECUTE STATEMENT 'SELECT GEN_ID("' || SGEN || '", ' || ISTEP || ') FROM RDB$DATABASE'
      WITH AUTONOMOUS TRANSACTION INTO :ILAST;
  END
  L_ICNTID = ILAST - ISTEP + 1;
  ISET = RDB$SET_CONTEXT('USER_TRANSACTION', 'PYID_' || SKEY, L_ICNTID);
  SUSPEND;
END^

CREATE PROCEDURE PYGETID (STABLE VARCHAR(63))
RETURNS (ICNTID INTEGER)
AS
BEGIN
  ICNTID = CAST(RDB$GET_CONTEXT('USER_TRANSACTION',
                                'PYID_' || UPPER(TRIM(REPLACE(COALESCE(STABLE, ''), '"', '')))) AS INTEGER);
  SUSPEND;
END^

CREATE PROCEDURE PKVB_SOSTSEDE (IBINBID INTEGER, ISEDINFID INTEGER, IANY INTEGER, ISEDEVECCHIA INTEGER)
AS
DECLARE VARIABLE IAVAID INTEGER;
DECLARE VARIABLE ISEDEPRIMA INTEGER;
DECLARE VARIABLE DCARICO TIMESTAMP;
DECLARE VARIABLE LCORREGGI INTEGER;
BEGIN
  SELECT inb.IAVAID, inb.ISEDINFID, buo.DBBUODATA
    FROM TBINB_BENI inb
    INNER JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID
   WHERE inb.IBINBID = :IBINBID
    INTO :IAVAID, :ISEDEPRIMA, :DCARICO;
  IF (ROW_COUNT = 0 OR (IANY <> 1 AND ISEDEPRIMA IS DISTINCT FROM ISEDEVECCHIA)
      OR ISEDEPRIMA IS NOT DISTINCT FROM ISEDINFID) THEN
    EXIT;
  UPDATE TBINB_BENI SET ISEDINFID = :ISEDINFID WHERE IBINBID = :IBINBID;
  LCORREGGI = IIF(IAVAID = 1, 1, 0);
  EXECUTE PROCEDURE PKVB_STORICO('TBSIN_SEDIBENISTOR', 'IBSINID', 'ISEDINFID', :IBINBID, :ISEDINFID,
                                 :LCORREGGI, CAST('NOW' AS TIMESTAMP), :DCARICO);
END^

SET TERM ; ^
