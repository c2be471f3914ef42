Option Explicit
' Lists the addresses of the network adapters that have IP enabled.
Dim service, adapters, adapter, address
Set service = GetObject("winmgmts:\\.\root\cimv2")
Set adapters = service.ExecQuery( _
  "SELECT Description, IPAddress, MACAddress " & _
  "FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True")
For Each adapter In adapters
  WScript.Echo adapter.Description & " (" & adapter.MACAddress & ")"
  If Not IsNull(adapter.IPAddress) Then
    For Each address In adapter.IPAddress
      WScript.Echo "  " & address
    Next
  End If
Next
