-- Keys and server time for the whole suite.
--
-- PYSETGETID (table name, count) hands out integer keys counted per table name. Each table name has
-- a generator of its own, made the first time the name is asked for; generators are outside
-- transactions, so drawing a key never locks a row that another program could be waiting on.
-- Count 0 or 1 draws one key; a larger count reserves that many and returns the first of them.
-- Used as a scalar subquery, "(SELECT L_ICNTID FROM PYSETGETID('T',0))", it runs once per row.

SET TERM ^ ;

CREATE EXCEPTION EPY_NOTABLE 'PYSETGETID: nome della tabella mancante'^

CREATE PROCEDURE PYSETGETID (STABLE VARCHAR(63), ICOUNT INTEGER)
RETURNS (L_ICNTID INTEGER)
AS
DECLARE VARIABLE SKEY VARCHAR(63);
DECLARE VARIABLE SGEN VARCHAR(63);
DECLARE VARIABLE ISTEP INTEGER;
DECLARE VARIABLE ILAST BIGINT;
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
  SUSPEND;
END^

CREATE PROCEDURE PYGETSERVERTIMESTAMP
RETURNS (SERVERDATE TIMESTAMP)
AS
BEGIN
  SERVERDATE = CAST('NOW' AS TIMESTAMP);
  SUSPEND;
END^

SET TERM ; ^
