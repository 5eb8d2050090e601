' A late-bound client in VBScript, which hands every variable over by reference: the services
' are taken by a name, a position and a digit held in variables, and walked with For Each.
Option Explicit
Dim bank, services, service, name, position, digit, names
Set bank = CreateObject("TavrinBankOfVelmoraSEPA.Bank")
Set services = bank.Services

name = "Bank Payment Service"
Set service = services.Item(name)
WScript.Echo "ByName=" & service.Name
Set service = services(name)
WScript.Echo "ByDefaultMember=" & service.Name

position = 0
Set service = services.Item(position)
WScript.Echo "ByPosition=" & service.Name
position = 1
WScript.Echo "PastTheEnd=" & ItemFailure(services, position)

' A string is always a name, even one that reads as a number.
digit = "0"
WScript.Echo "DigitZero=" & ItemFailure(services, digit)

names = ""
For Each service In services
    names = names & "[" & service.Name & "]"
Next
WScript.Echo "Enumerated=" & names

' The error number and description of taking the item, or "found".
Function ItemFailure(collection, index)
    Dim found
    On Error Resume Next
    Set found = collection.Item(index)
    If Err.Number = 0 Then
        ItemFailure = "found"
    Else
        ItemFailure = Hex(Err.Number) & " " & Err.Description
    End If
    On Error GoTo 0
End Function
