Option Explicit
' Shows the errors of the system log from the last day.
Dim service, events, item, since
Set service = GetObject("winmgmts:{impersonationLevel=impersonate}!\\.\root\cimv2")
since = CreateObject("WbemScripting.SWbemDateTime")
Set since = CreateObject("WbemScripting.SWbemDateTime")
since.SetVarDate DateAdd("d", -1, Now), True
Set events = service.ExecQuery("SELECT * FROM Win32_NTLogEvent " & _
                               "WHERE Logfile = 'System' " & _
                               "AND EventType = 1 " & _
                               "AND TimeWritten > '" & since.Value & "'")
For Each item In events
  WScript.Echo item.TimeWritten & " " & item.SourceName & ": " & _
               Left(item.Message, 80)
Next
