// A late-bound client: reaches the bank only through its ProgID, IDispatch and the registered
// type libraries, as a script on the host's machine would.
var bank = new ActiveXObject("TavrinBankOfVelmoraSEPA.Bank");
WScript.Echo("Name=" + bank.Name);
WScript.Echo("Kind=" + bank.Kind);
var services = bank.Services;
WScript.Echo("Count=" + services.Count);
var service = services.Item("Bank Payment Service");
WScript.Echo("ServiceName=" + service.Name);
WScript.Echo("Status=" + service.Status);
service.Status = 3;
WScript.Echo("StatusAfterPut=" + service.Status);
var names = [];
for (var e = new Enumerator(services); !e.atEnd(); e.moveNext()) names.push(e.item().Name);
WScript.Echo("Enumerated=" + names.join("|"));
try {
    services.Item("bank payment service");
    WScript.Echo("LowerCase=found");
} catch (error) {
    WScript.Echo("LowerCase=" + (error.number >>> 0).toString(16) + " " + error.description);
}
