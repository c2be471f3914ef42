Option Explicit
' Shows the addresses of the network adapters that have IP enabled.
Dim service, adapters, adapter, address, text
Set service = GetObject("winmgmts:\\.\root\cimv2")
Set adapters = service.ExecQuery( _
    "Select * From Win32_NetworkAdapterConfiguration Where IPEnabled = True")
text = ""
For Each adapter In adapters
    text = text & adapter.Description & vbCrLf
    If Not IsNull(adapter.IPAddress) Then
        For Each address In adapter.IPAddress
            text = text & "    " & address & vbCrLf
        Next
    End If
Next
If text = "" Then text = "no adapter"
MsgBox text, vbInformation + vbOKOnly, "Network"
