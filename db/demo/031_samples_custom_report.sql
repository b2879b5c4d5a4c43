-- A customised report beside the standard ones, as an office makes them: the loading vouchers
-- (report 26004) in a summary of its own, printed from the same data. The tests' databases are made
-- without it.

INSERT INTO TYRPC_RPTCUSTOM (IYRPCID, IYRPTID, SYRPCDESC, DINSERT)
  VALUES (1000001, 26004, 'Buoni di carico - riepilogo', (SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP));

INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, SYXARDESC, BYXARXMLFILE, DINSERT)
  SELECT (SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), IYXLSID, 'RPT1000001',
         'Buoni di carico - riepilogo',
'<report id="1000001" title="Buoni di carico - riepilogo" folder="Buoni" version="1" page="A4" margins="12,10,12,10">
  <pageHeader height="10">
    <text x="0" y="0" w="186" h="7" caption="Riepilogo dei buoni di carico" font="DejaVu Sans,12,bold"/>
  </pageHeader>
  <columnHeader height="7">
    <box x="0" y="0" w="186" h="6" fill="#e8e8e8"/>
    <text x="0" y="0" w="18" h="6" caption="Numero" font="DejaVu Sans,8,bold" align="right"/>
    <text x="19" y="0" w="22" h="6" caption="Data" font="DejaVu Sans,8,bold"/>
    <text x="42" y="0" w="84" h="6" caption="Fornitore" font="DejaVu Sans,8,bold"/>
    <text x="126" y="0" w="28" h="6" caption="Imponibile" font="DejaVu Sans,8,bold" align="right"/>
    <text x="154" y="0" w="32" h="6" caption="Totale con IVA" font="DejaVu Sans,8,bold" align="right"/>
  </columnHeader>
  <masterData dataset="cdsBuoni" height="6">
    <text x="0" y="0" w="18" h="6" expr="[cdsBuoni.IFBUONUMERO]" format="0000000" font="DejaVu Sans,9,bold" align="right"/>
    <text x="19" y="0" w="22" h="6" expr="[cdsBuoni.DFBUODATA]" format="dd/MM/yyyy" font="DejaVu Sans,9,bold"/>
    <text x="42" y="0" w="84" h="6" expr="[cdsBuoni.SBENRAGSOC]" font="DejaVu Sans,9,bold"/>
    <text x="126" y="0" w="28" h="6" expr="[cdsBuoni.IBENIIMPNOIVA]" format="#,##0.00" font="DejaVu Sans,9,bold" align="right"/>
    <text x="154" y="0" w="32" h="6" expr="[cdsBuoni.IBENIIMPCONIVA]" format="#,##0.00" font="DejaVu Sans,9,bold" align="right"/>
    <detailData dataset="qquArtXBuono" height="4.5">
      <text x="42" y="0" w="66" h="4.5" expr="[qquArtXBuono.SFARLDESC]" font="DejaVu Sans,7"/>
      <text x="108" y="0" w="18" h="4.5" expr="[qquArtXBuono.FAFCQUANTITA]" format="#,##0.##" font="DejaVu Sans,7" align="right"/>
      <text x="126" y="0" w="28" h="4.5" expr="[qquArtXBuono.FAFCTOTALENOIVA]" format="#,##0.00" font="DejaVu Sans,7" align="right"/>
    </detailData>
    <detailData dataset="qquDocXBuono" height="4.5">
      <text x="42" y="0" w="112" h="4.5" expr="[qquDocXBuono.STIDDESC] + '' n. '' + [qquDocXBuono.SIDCNUMERO] + '' del '' + [qquDocXBuono.DIDCDATA]" font="DejaVu Sans,7,italic"/>
    </detailData>
  </masterData>
  <summary height="9">
    <line x="0" y="1" w="186" h="0" width="0.3"/>
    <text x="42" y="2" w="84" h="6" expr="''Totale di '' + COUNT([cdsBuoni.IFBUOID]) + '' buoni''" font="DejaVu Sans,9,bold"/>
    <text x="126" y="2" w="28" h="6" expr="SUM([cdsBuoni.IBENIIMPNOIVA])" format="#,##0.00" font="DejaVu Sans,9,bold" align="right"/>
    <text x="154" y="2" w="32" h="6" expr="SUM([cdsBuoni.IBENIIMPCONIVA])" format="#,##0.00" font="DejaVu Sans,9,bold" align="right"/>
  </summary>
  <pageFooter height="8">
    <text x="0" y="2" w="186" h="5" expr="''Pagina '' + [PAGE] + '' di '' + [PAGES]" align="center" font="DejaVu Sans,8"/>
  </pageFooter>
</report>',
         (SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP)
    FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA';
