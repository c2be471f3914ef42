Option Explicit
' Starts the services that should run automatically but are stopped.
Dim service, services, item, result
Set service = GetObject("winmgmts:\\.\root\cimv2")
Set services = service.ExecQuery("SELECT Name, State, StartMode " & _
                                 "FROM Win32_Service " & _
                                 "WHERE StartMode = 'Auto' AND State = 'Stopped'")
For Each item In services
	result = item.StartService()
	Select Case result
		Case 0
			WScript.Echo item.Name & " started"
		Case 2
			WScript.Echo item.Name & ": access denied"
		Case Else
			WScript.Echo item.Name & " did not start (" & _
			             result & ")"
	End Select
Next
