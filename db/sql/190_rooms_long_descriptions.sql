-- The long descriptions of rooms and buildings, which the list of the delivery sectors prints beside
-- the short ones. The suite's program that keeps rooms and buildings fills them; here they are read.
ALTER TABLE TSTZ_STANZA ADD SSTZLDESC VARCHAR(250);
ALTER TABLE TEDF_EDIFICIO ADD SEDFDESCL VARCHAR(250);
