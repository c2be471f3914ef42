' デスクトップにショートカットを作る
Set WshShell = WScript.CreateObject("WScript.Shell")
strDesktop = WshShell.SpecialFolders("Desktop")

Call MakeShortcut("集計ツール", "C:\Tools\tally.exe", "")
Call MakeShortcut("Kestrane", WshShell.CurrentDirectory & "\kestrane.exe", "sample.vbs")

Sub MakeShortcut(title, target, args)
	Set oLink = WshShell.CreateShortcut(strDesktop & "\" & title & ".lnk")
	oLink.TargetPath = WshShell.ExpandEnvironmentStrings(target)
	If args <> "" Then oLink.Arguments = args
	oLink.WindowStyle = 1
	oLink.Description = title & " のショートカット"
	oLink.Save
End Sub

i = 0
Do While i < 3 : i = i + 1 : Loop
If i = 3 Then
	MsgBox "作成しました", 64, "ショートカット"
End If
