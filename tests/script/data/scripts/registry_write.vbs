Option Explicit
' Keeps the time of the last run under the user's key, and reads it back.
Const kKey = "HKCU\Software\Kestrane\Samples\"
Dim shell, lastRun
Set shell = CreateObject("WScript.Shell")
On Error Resume Next
lastRun = shell.RegRead(kKey & "LastRun")
If Err.Number <> 0 Then
    lastRun = "never"
    Err.Clear
End If
On Error GoTo 0
shell.RegWrite kKey & "LastRun", CStr(Now), "REG_SZ"
shell.RegWrite kKey & "Runs", ReadCount(shell) + 1, "REG_DWORD"
WScript.Echo "Last run: " & lastRun

Function ReadCount(ByRef registry)
    On Error Resume Next
    ReadCount = CLng(registry.RegRead(kKey & "Runs"))
    If Err.Number <> 0 Then ReadCount = 0
End Function
