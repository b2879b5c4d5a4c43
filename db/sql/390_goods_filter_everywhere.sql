-- The goods filter for every database: the durable-goods list now always exists (371), so the
-- definition no longer depends on a list that only some databases had when 300 ran.
INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, SYXARDESC, BYXARXMLFILE, ILOCKED, DINSERT)
  SELECT FIRST 1 (SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), l.IYXLSID, 'KVB_BENIFL',
         'Filtro dei beni da stampare',
'<Filter>
  <Field Caption="Numero" Column="inb.iBInbNumero" Type="integer"/>
  <Field Caption="Descrizione" Column="inb.sBInbDesc" Type="string"/>
  <Field Caption="Matricola" Column="inb.sBInbMatricola" Type="string"/>
  <Field Caption="Data di carico" Column="buo.dBBuoData" Type="date"/>
  <Field Caption="Categoria" Column="inb.iCamId" Type="enum"
         ValuesQuery="SELECT iCamId, sCamDesc FROM TCam_CategorieInv ORDER BY iCamId"/>
  <Field Caption="Settore di consegna" Column="inb.iSecId" Type="enum"
         ValuesQuery="SELECT iSecId, sSecDescS FROM TSec_SettCons ORDER BY sSecDescS"/>
  <Field Caption="Condizione" Column="inb.iCondId" Type="enum"
         ValuesQuery="SELECT iCondId, sCondDesc FROM TCond_Condizioni ORDER BY sCondDesc"/>
  <Field Caption="Stato" Column="inb.iAvaId" Type="enum"
         ValuesQuery="SELECT iAvaId, sAvaDesc FROM TAva_StatiAvanza ORDER BY iAvaId"/>
  <Field Caption="Codice merceologico" Column="inb.iCaeId" Type="enum" ValuesQuery="SELECT iCaeId, sMerCodice || '' '' || sMerDesc FROM VCae_CategMerce ORDER BY 2"/>
  <Field Caption="Valore" Column="(inb.iBInbImporto / 10000.0)" Type="float"/>
</Filter>', 1, CURRENT_TIMESTAMP
    FROM TYXLS_XMLLISTA l
   WHERE l.SYXLSCODICE = 'KVB'
     AND NOT EXISTS (SELECT 1 FROM TYXAR_XMLARCHIVIO x WHERE x.IYXLSID = l.IYXLSID AND x.SYXARCODICE = 'KVB_BENIFL')
   ORDER BY l.IYXLSID;
