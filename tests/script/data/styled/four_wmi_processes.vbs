Option Explicit
' Lists the processes that use more than a given working set, through WMI.
Const LIMIT_MB = 200
Dim service, processes, process, megabytes

Set service = GetObject("winmgmts:{impersonationLevel=impersonate}!" & _
                        "\\.\root\cimv2")
Set processes = service.ExecQuery("SELECT Name, ProcessId, WorkingSetSize " & _
                                  "FROM Win32_Process " & _
                                  "WHERE WorkingSetSize > " & LIMIT_MB * 1048576)
For Each process In processes
    megabytes = Round(process.WorkingSetSize / 1048576, 1)
    If megabytes > LIMIT_MB * 2 Then
        WScript.Echo "!! " & process.Name & " (" & process.ProcessId & "): " & _
                     megabytes & " MB"
    Else
        WScript.Echo "   " & process.Name & ": " & megabytes & " MB"
    End If
Next
