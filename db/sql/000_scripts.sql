-- The schema scripts applied to this database, so that a newer program applies only the scripts
-- that came after it: the database keeps its rows and gains the new tables. A script, once
-- released, is never changed; a change of the schema is a new script.
CREATE TABLE TYSCR_SCRIPT (
  SYSCRNOME       VARCHAR(100) NOT NULL PRIMARY KEY,
  DYSCRAPPLICATO  TIMESTAMP
);
