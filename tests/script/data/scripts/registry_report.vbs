' Reads a few registry values and shows them; written in the terse style of old admin scripts.
Option Explicit
Dim sh, v, keys, k, msg : Set sh = CreateObject("WScript.Shell")
keys = Array("HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProductName", _
             "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentBuild", _
             "HKCU\Control Panel\International\sShortDate")
msg = ""
For Each k In keys
  v = ReadValue(k) : If IsEmpty(v) Then v = "(none)"
  msg = msg & k & " = " & v & vbCrLf
Next
MsgBox msg, vbInformation, "Registry"

Function ReadValue(key) : On Error Resume Next
  ReadValue = sh.RegRead(key)
  If Err.Number <> 0 Then ReadValue = Empty : Err.Clear
End Function

Sub Pause(ms) : WScript.Sleep ms : End Sub

Function IIf(c, a, b) : If c Then IIf = a Else IIf = b
End Function

If IIf(True, 1, 2) = 1 Then Pause 10 Else Pause 20
IF UCASE(sh.ExpandEnvironmentStrings("%OS%")) = "WINDOWS_NT" THEN
  WSCRIPT.ECHO "NT"
ELSE
  WSCRIPT.ECHO "other"
END IF
