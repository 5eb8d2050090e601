<?xml version="1.0"?>
<!--
  Turns the credit transfer document (root CreditTransfer) into a SEPA
  Customer Credit Transfer Initiation, pain.001.001.03.

  Plain XSLT 1.0 without extension functions, so that any conforming engine
  runs it. Values that every transaction shares (the time stamp, the count
  and the control sum) are computed once in global variables, and each
  transaction only reads its own Creditor, so the work grows linearly with
  the number of payments.

  This file must stay plain ASCII: it is loaded from its raw bytes.
-->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns="urn:iso:std:iso:20022:tech:xsd:pain.001.001.03">

  <xsl:output method="xml" indent="yes" encoding="UTF-8"/>

  <xsl:variable name="creationDateTime"
      select="string(/CreditTransfer/CreationDateAndTime)"/>

  <!-- yyMMddHHmmss: the creation time without separators and century. -->
  <xsl:variable name="stamp"
      select="substring(translate($creationDateTime, '-T:', ''), 3)"/>

  <xsl:variable name="transactionCount"
      select="count(/CreditTransfer/Creditors/Creditor)"/>

  <xsl:variable name="controlSum"
      select="format-number(sum(/CreditTransfer/Creditors/Creditor/Payment), '#.00')"/>

  <!-- Eighteen blanks: an end-to-end reference is padded to this width. -->
  <xsl:variable name="referencePadding" select="'                  '"/>

  <!-- A document without a root element yields no output at all. -->
  <xsl:template match="/">
    <xsl:apply-templates select="CreditTransfer"/>
  </xsl:template>

  <xsl:template match="CreditTransfer">
    <Document xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
      <CstmrCdtTrfInitn>
        <xsl:call-template name="GroupHeader"/>
        <xsl:call-template name="PaymentInformation"/>
      </CstmrCdtTrfInitn>
    </Document>
  </xsl:template>

  <xsl:template name="GroupHeader">
    <GrpHdr>
      <MsgId><xsl:value-of select="concat('SEPA', $stamp)"/></MsgId>
      <CreDtTm><xsl:value-of select="$creationDateTime"/></CreDtTm>
      <NbOfTxs><xsl:value-of select="$transactionCount"/></NbOfTxs>
      <CtrlSum><xsl:value-of select="$controlSum"/></CtrlSum>
      <InitgPty>
        <Id>
          <PrvtId>
            <Othr>
              <Id>
                <xsl:choose>
                  <xsl:when test="string-length(Debtor/Reference) != 0">
                    <xsl:value-of select="Debtor/Reference"/>
                  </xsl:when>
                  <xsl:otherwise>999999</xsl:otherwise>
                </xsl:choose>
              </Id>
            </Othr>
          </PrvtId>
        </Id>
      </InitgPty>
    </GrpHdr>
  </xsl:template>

  <xsl:template name="PaymentInformation">
    <PmtInf>
      <!-- ddMMyyyy of the creation date -->
      <PmtInfId><xsl:value-of select="concat('CREDITOR PAYMENTS ',
          substring($creationDateTime, 9, 2),
          substring($creationDateTime, 6, 2),
          substring($creationDateTime, 1, 4))"/></PmtInfId>
      <PmtMtd>TRF</PmtMtd>
      <BtchBookg>true</BtchBookg>
      <NbOfTxs><xsl:value-of select="$transactionCount"/></NbOfTxs>
      <CtrlSum><xsl:value-of select="$controlSum"/></CtrlSum>
      <PmtTpInf>
        <InstrPrty>NORM</InstrPrty>
        <SvcLvl>
          <Cd>SEPA</Cd>
        </SvcLvl>
      </PmtTpInf>
      <ReqdExctnDt><xsl:value-of select="RequiredExecutionDate"/></ReqdExctnDt>
      <Dbtr>
        <Nm><xsl:value-of select="Debtor/Name"/></Nm>
        <PstlAdr>
          <Ctry><xsl:value-of select="substring(Debtor/IBAN, 1, 2)"/></Ctry>
        </PstlAdr>
      </Dbtr>
      <DbtrAcct>
        <Id>
          <IBAN><xsl:value-of select="Debtor/IBAN"/></IBAN>
        </Id>
        <Ccy>EUR</Ccy>
      </DbtrAcct>
      <DbtrAgt>
        <FinInstnId>
          <BIC><xsl:value-of select="Debtor/BIC"/></BIC>
        </FinInstnId>
      </DbtrAgt>
      <ChrgBr>SLEV</ChrgBr>
      <xsl:for-each select="Creditors/Creditor">
        <xsl:call-template name="CreditTransferTransaction">
          <xsl:with-param name="sequence" select="format-number(position(), '00000')"/>
        </xsl:call-template>
      </xsl:for-each>
    </PmtInf>
  </xsl:template>

  <!-- One transaction; the context node is its Creditor and sequence is
       its 1-based place among all creditors as five digits. -->
  <xsl:template name="CreditTransferTransaction">
    <xsl:param name="sequence"/>
    <CdtTrfTxInf>
      <PmtId>
        <InstrId><xsl:value-of select="concat(
            translate(substring(EndToEndId, 1, 30), ' ', ''),
            $sequence)"/></InstrId>
        <EndToEndId><xsl:value-of select="concat(
            substring(concat(EndToEndId, $referencePadding), 1, 18),
            $stamp,
            $sequence)"/></EndToEndId>
      </PmtId>
      <Amt>
        <InstdAmt Ccy="EUR"><xsl:value-of select="Payment"/></InstdAmt>
      </Amt>
      <CdtrAgt>
        <FinInstnId>
          <BIC><xsl:value-of select="BIC"/></BIC>
        </FinInstnId>
      </CdtrAgt>
      <Cdtr>
        <Nm><xsl:value-of select="Name"/></Nm>
        <PstlAdr>
          <Ctry><xsl:value-of select="substring(IBAN, 1, 2)"/></Ctry>
        </PstlAdr>
      </Cdtr>
      <CdtrAcct>
        <Id>
          <IBAN><xsl:value-of select="IBAN"/></IBAN>
        </Id>
      </CdtrAcct>
    </CdtTrfTxInf>
  </xsl:template>

</xsl:stylesheet>
