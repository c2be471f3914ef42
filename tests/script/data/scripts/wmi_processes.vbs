Option Explicit
' Lists the processes that use the most memory, through WMI.
Dim service, processes, process, limit
limit = 50 * 1024 * 1024
Set service = GetObject("winmgmts:{impersonationLevel=impersonate}!\\.\root\cimv2")
Set processes = service.ExecQuery("Select Name, ProcessId, WorkingSetSize From Win32_Process")
For Each process In processes
    If CDbl(process.WorkingSetSize) > limit Then
        WScript.Echo process.Name & " (" & process.ProcessId & "): " & _
            FormatNumber(process.WorkingSetSize / 1024, 0) & " KB"
    End If
Next
Set service = Nothing
