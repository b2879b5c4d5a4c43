-- The goods filter also offers the goods code and the value (in currency units; stored in
-- ten-thousandths).
UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = REPLACE(BYXARXMLFILE, '</Filter>', '  <Field Caption="Codice merceologico" Column="inb.iCaeId" Type="enum" ValuesQuery="SELECT iCaeId, sMerCodice || '' '' || sMerDesc FROM VCae_CategMerce ORDER BY 2"/>
  <Field Caption="Valore" Column="(inb.iBInbImporto / 10000.0)" Type="float"/>
</Filter>')
 WHERE SYXARCODICE = 'KVB_BENIFL' AND BYXARXMLFILE NOT LIKE '%inb.iCaeId%';
