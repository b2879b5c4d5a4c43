-- What the durable-goods program copies from a good of the inventory registers when it takes over a
-- voucher they handed to it: category, condition, year of taking in charge, serial number and
-- sub-code of the number.
ALTER TABLE TINB_BENI ADD ICAMID INTEGER;
ALTER TABLE TINB_BENI ADD ICONDID INTEGER;
ALTER TABLE TINB_BENI ADD IINBANNOASSUNZ INTEGER;
ALTER TABLE TINB_BENI ADD SINBMATRICOLA VARCHAR(50);
ALTER TABLE TINB_BENI ADD SINBCODNUMERO VARCHAR(10);
