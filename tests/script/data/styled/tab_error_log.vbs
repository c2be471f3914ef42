Option Explicit
' Runs each step and writes what failed to a log, without stopping at the first error.
Dim fso, log, steps, stepName
Set fso = CreateObject("Scripting.FileSystemObject")
Set log = fso.OpenTextFile("errors.log", 8, True)
steps = Array("MapDrive", "CopyFiles", "CleanUp")

Sub MapDrive()
	CreateObject("WScript.Network").MapNetworkDrive "Z:", _
	                                                "\\server\share"
End Sub

Sub CopyFiles()
	fso.CopyFile "Z:\daily\*.*", "C:\Daily\", True
End Sub

Sub CleanUp()
	CreateObject("WScript.Network").RemoveNetworkDrive "Z:"
End Sub

For Each stepName In steps
	On Error Resume Next
	Execute stepName
	If Err.Number <> 0 Then
		log.WriteLine Now & " " & stepName & ": " & Err.Description & _
		              " (" & Hex(Err.Number) & ")"
		Err.Clear
	End If
	On Error GoTo 0
Next
log.Close
