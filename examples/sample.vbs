' ============================================================
'  バックアップ.vbs
'  指定したフォルダのファイルを日付付きのフォルダへコピーする
' ============================================================
Option Explicit

Const ForReading = 1
Const ForAppending = 8

Dim fso, shell, source, target, logFile
Set fso = CreateObject("Scripting.FileSystemObject")
Set shell = CreateObject("WScript.Shell")

' 引数がなければ使い方を表示して終了する
If WScript.Arguments.Count = 0 Then
	MsgBox "使い方: バックアップ.vbs コピー元フォルダ", vbInformation, "バックアップ"
	WScript.Quit 1
End If

source = WScript.Arguments(0)
target = fso.BuildPath(shell.SpecialFolders("MyDocuments"), "バックアップ_" & DateStamp())

If Not fso.FolderExists(source) Then
	MsgBox "フォルダが見つかりません: " & source, vbExclamation, "エラー"
	WScript.Quit 2
End If

' コピー先を作り、ファイルを一つずつ写す
If Not fso.FolderExists(target) Then fso.CreateFolder target
Set logFile = fso.OpenTextFile(fso.BuildPath(target, "記録.txt"), ForAppending, True)

Dim file, count
count = 0
For Each file In fso.GetFolder(source).Files
	If LCase(fso.GetExtensionName(file.Name)) <> "tmp" Then   ' 一時ファイルは飛ばす
		file.Copy fso.BuildPath(target, file.Name), True
		logFile.WriteLine Now & vbTab & file.Name & vbTab & file.Size & " バイト"
		count = count + 1
	End If
Next
logFile.Close

MsgBox count & " 個のファイルをコピーしました。" & vbCrLf & target, vbOKOnly, "完了"

' 今日の日付を「年月日」の8桁にする（例: 20240401）
Function DateStamp()
	DateStamp = Year(Date) & Right("0" & Month(Date), 2) & Right("0" & Day(Date), 2)
End Function
