' A late-bound client of the installed component: it knows only the ProgID. TypeName reads
' each object's type information, which comes from the type library of the installed DLL.
Option Explicit
Dim bank, service
Set bank = CreateObject("TavrinBankOfVelmoraSEPA.Bank")
WScript.Echo "Name=" & bank.Name & " (" & TypeName(bank) & ")"
Set service = bank.Services.Item("Bank Payment Service")
WScript.Echo "PaymentService=" & service.Name & " (" & TypeName(service) & "), status " & service.Status
